#include "UpdateDlg.h"

#include "AboutDlg.h"
#include "DriverChannel.h"
#include "SkinnedWindow.h"
#include "UpdateProgressMessage.h"

#include <cstring>

BEGIN_MESSAGE_MAP(CUpdateDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_WM_DESTROY()
ON_WM_CREATE()
ON_WM_LBUTTONDOWN()
ON_MESSAGE(WM_UPDATE_PROGRESS, OnUpdateProgress)
END_MESSAGE_MAP()

CUpdateDlg::CUpdateDlg(CWnd* pParent)
    : CDialog(IDD, pParent), m_hRgn(nullptr),
      m_hIcon(::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME))) {
    std::memset(m_szImagePath, 0, sizeof m_szImagePath);
}

void CUpdateDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROGRESS1, m_progress);
}

BOOL CUpdateDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AddAboutItem();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    SetWindowText("Nerith updater");
    SetupProgressBar();
    HANDLE hEventThread = nullptr;
    DWORD dwEventThreadId = 0;
    StartDriverChannel(this, &hEventThread, &dwEventThreadId);
    return TRUE;
}

void CUpdateDlg::AddAboutItem() {
    CMenu* pSysMenu = GetSystemMenu(FALSE);
    if (!pSysMenu) {
        return;
    }
    CString strAboutMenu;
    strAboutMenu.LoadString(IDS_ABOUTBOX);
    if (strAboutMenu.IsEmpty()) {
        return;
    }
    pSysMenu->AppendMenu(MF_SEPARATOR);
    pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
}

// A green bar on black, 0 to 100 in steps of 1, where the skin leaves room for it.
void CUpdateDlg::SetupProgressBar() {
    m_progress.MoveWindow(24, 90, 332, 44, TRUE);
    m_progress.SendMessage(PBM_SETRANGE, 0, 0x640000);
    m_progress.SendMessage(PBM_SETSTEP, 1);
    m_progress.SendMessage(PBM_SETPOS, 0);
    m_progress.SendMessage(PBM_SETBKCOLOR, 0, RGB(0, 0, 0));
    m_progress.SendMessage(PBM_SETBARCOLOR, 0, RGB(0, 255, 0));
    m_progress.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CUpdateDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) != IDM_ABOUTBOX) {
        CDialog::OnSysCommand(nID, lParam);
        return;
    }
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
}

void CUpdateDlg::OnPaint() {
    CPaintDC dc(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    PaintSkinBackground(&dc, rcClient, &m_bmpBackground);
}

HCURSOR CUpdateDlg::OnQueryDragIcon() {
    return m_hIcon;
}

// The bar must show the new position before the stage that sent it goes on working.
LRESULT CUpdateDlg::OnUpdateProgress(WPARAM wParam, LPARAM) {
    m_progress.SendMessage(PBM_SETPOS, wParam);
    m_progress.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return 0;
}

// Esc and Enter would end the dialog; only the skinned buttons may.
BOOL CUpdateDlg::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_ESCAPE || pMsg->wParam == VK_RETURN)) {
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

// IDOK reaching the main window by any route leaves it open: its OK is the skinned button.
void CUpdateDlg::OnOK() {}

void CUpdateDlg::OnDestroy() {
    CWnd::OnDestroy();
    g_bStopEventThread = TRUE;
    m_bmpShape.DeleteObject();
    m_bmpBackground.DeleteObject();
}
