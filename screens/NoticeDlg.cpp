#include "NoticeDlg.h"

#include "SkinLayoutLine.h"
#include "SkinnedWindow.h"

namespace {

struct NoticePictureSet {
    LPCTSTR lpszBackground;
    LPCTSTR lpszPressed;
    LPCTSTR lpszHover;
};

// The name is compared whole and case-sensitively; any other name, the empty one included,
// gives the up-to-date set.
NoticePictureSet PictureSetFor(const CString& strSkinName) {
    if (strSkinName == "skin_congratulation_fw.ini") {
        return {"1005", "1004", "1006"};
    }
    if (strSkinName == "skin_error_fw.ini") {
        return {"1008", "1007", "1009"};
    }
    return {"1030", "1028", "1029"};
}

} // namespace

BEGIN_MESSAGE_MAP(CNoticeDlg, CDialog)
ON_WM_CREATE()
ON_WM_PAINT()
ON_WM_DESTROY()
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CNoticeDlg::CNoticeDlg(CWnd* pParent) : CDialog(IDD, pParent), m_hRgn(nullptr) {}

CNoticeDlg::~CNoticeDlg() = default;

int CNoticeDlg::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CDialog::OnCreate(lpCreateStruct) == -1) {
        return -1;
    }
    SetupSkin();
    m_hRgn = ApplySkinRegion(this, &m_bmpShape, {&m_btnOK});
    return 0;
}

int CNoticeDlg::SetupSkin() {
    const NoticePictureSet set = PictureSetFor(m_strSkinName);
    ScreenPictures pictures;
    const SIZE size = LoadScreenPictures(&m_bmpShape, &m_bmpBackground, &pictures,
                                         set.lpszBackground, set.lpszPressed, set.lpszHover);
    CWnd::MoveWindow(0, 0, size.cx, size.cy, TRUE);
    CreateSkinButton(&m_btnOK, SKIN_LINE_NOTICE_OK, this, &pictures);
    return 1;
}

void CNoticeDlg::OnPaint() {
    CPaintDC dc(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    PaintSkinBackground(&dc, rcClient, &m_bmpBackground);
}

void CNoticeDlg::OnDestroy() {
    CDialog::OnDestroy();
    m_bmpShape.DeleteObject();
    m_bmpBackground.DeleteObject();
}

BOOL CNoticeDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    return TRUE;
}

BOOL CNoticeDlg::PreTranslateMessage(MSG* pMsg) {
    return CDialog::PreTranslateMessage(pMsg);
}

BOOL CNoticeDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const HWND hWndSource = reinterpret_cast<HWND>(lParam);
    if (hWndSource && hWndSource == m_btnOK.m_hWnd) {
        OnOK();
    }
    return CWnd::OnCommand(wParam, lParam);
}

void CNoticeDlg::OnLButtonDown(UINT nFlags, CPoint point) {
    DragSkinnedWindow(this, point);
    CDialog::OnLButtonDown(nFlags, point);
}
