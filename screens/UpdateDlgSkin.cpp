// The main window's skin: its pictures, size, shape and buttons, and dragging it.
#include "UpdateDlg.h"

#include "SkinLayoutLine.h"
#include "SkinnedWindow.h"

int CUpdateDlg::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CDialog::OnCreate(lpCreateStruct) == -1) {
        return -1;
    }
    SetupSkin();
    m_hRgn = ApplySkinRegion(this, &m_bmpShape, {&m_btnOK, &m_btnCancel});
    return 0;
}

int CUpdateDlg::SetupSkin() {
    ScreenPictures pictures;
    const SIZE size =
        LoadScreenPictures(&m_bmpShape, &m_bmpBackground, &pictures, "1015", "1016", "1018");
    CWnd::MoveWindow(0, 0, size.cx, size.cy, TRUE);
    CreateSkinButton(&m_btnOK, SKIN_LINE_MAIN_OK, this, &pictures);
    CreateSkinButton(&m_btnCancel, SKIN_LINE_MAIN_CANCEL, this, &pictures);
    return 1;
}

void CUpdateDlg::OnLButtonDown(UINT nFlags, CPoint point) {
    DragSkinnedWindow(this, point);
    CDialog::OnLButtonDown(nFlags, point);
}
