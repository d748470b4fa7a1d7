#include "PromptDlg.h"

#include "SkinLayoutLine.h"
#include "SkinnedWindow.h"

BEGIN_MESSAGE_MAP(CPromptDlg, CDialog)
ON_WM_CREATE()
ON_WM_PAINT()
ON_WM_DESTROY()
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CPromptDlg::CPromptDlg(CWnd* pParent) : CDialog(IDD, pParent), m_hRgn(nullptr) {}

CPromptDlg::~CPromptDlg() = default;

int CPromptDlg::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CDialog::OnCreate(lpCreateStruct) == -1) {
        return -1;
    }
    SetupSkin();
    m_hRgn = ApplySkinRegion(this, &m_bmpShape, {&m_btnOK, &m_btnCancel});
    return 0;
}

int CPromptDlg::SetupSkin() {
    ScreenPictures pictures;
    const SIZE size =
        LoadScreenPictures(&m_bmpShape, &m_bmpBackground, &pictures, "1026", "1025", "1027");
    CWnd::MoveWindow(0, 0, size.cx, size.cy, TRUE);
    CreateSkinButton(&m_btnOK, SKIN_LINE_PROMPT_OK, this, &pictures);
    CreateSkinButton(&m_btnCancel, SKIN_LINE_PROMPT_CANCEL, this, &pictures);
    return 1;
}

void CPromptDlg::OnPaint() {
    CPaintDC dc(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    PaintSkinBackground(&dc, rcClient, &m_bmpBackground);
}

void CPromptDlg::OnDestroy() {
    CDialog::OnDestroy();
    m_bmpShape.DeleteObject();
    m_bmpBackground.DeleteObject();
}

BOOL CPromptDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    return TRUE;
}

BOOL CPromptDlg::PreTranslateMessage(MSG* pMsg) {
    return CDialog::PreTranslateMessage(pMsg);
}

// Both buttons send id 0; only the source window tells them apart.
BOOL CPromptDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const HWND hWndSource = reinterpret_cast<HWND>(lParam);
    if (hWndSource && hWndSource == m_btnOK.m_hWnd) {
        OnOK();
    } else if (hWndSource && hWndSource == m_btnCancel.m_hWnd) {
        OnCancel();
    }
    return CWnd::OnCommand(wParam, lParam);
}

void CPromptDlg::OnLButtonDown(UINT nFlags, CPoint point) {
    DragSkinnedWindow(this, point);
    CDialog::OnLButtonDown(nFlags, point);
}
