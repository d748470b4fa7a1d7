#include "UpdateDlg.h"

#include "AboutDlg.h"
#include "DriverChannel.h"
#include "FwImageVersion.h"
#include "IspSession.h"
#include "SkinnedWindow.h"
#include "UpdateProgressMessage.h"

#include <cstdio>
#include <cstring>

namespace {

const DWORD kIcpSettleTime = 100;
const DWORD kConnectInterval = 1000;
const int kConnectAttempts = 30;

// The MCU needs a while after the switch to programming mode before it answers.
BOOL ConnectToMcu(CIspSession& session) {
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        ::Sleep(kConnectInterval);
        if (session.OnBConnect()) {
            return TRUE;
        }
    }
    return FALSE;
}

// The first stage that fails ends the chain; the later ones must not touch the flash.
BOOL RunStages(CIspSession& session) {
    return session.OnBLoadFile() && session.OnBVerify() && session.OnBCheckSum() &&
           session.OnBMasserase() && session.OnBProgram();
}

// The carried S-record text, or NULL when the executable lacks it.
LPCVOID LockFirmwareImage(DWORD* pdwSize) {
    const HMODULE hModule = ::GetModuleHandleA(nullptr);
    const HRSRC hResInfo = ::FindResourceA(hModule, MAKEINTRESOURCE(IDR_FIRMWARE_S19), "S19");
    if (!hResInfo) {
        return nullptr;
    }
    *pdwSize = ::SizeofResource(hModule, hResInfo);
    const HGLOBAL hResData = ::LoadResource(hModule, hResInfo);
    if (!hResData || *pdwSize == 0) {
        return nullptr;
    }
    return ::LockResource(hResData);
}

// A TEMP too long for the buffer would otherwise be cut off and name some other folder.
BOOL FormatImagePath(char* pszPath, size_t cchPath) {
    char szTempDir[MAX_PATH];
    std::memset(szTempDir, 0, sizeof(szTempDir));
    const DWORD cchNeeded = ::ExpandEnvironmentStringsA("%TEMP%", szTempDir, MAX_PATH);
    if (cchNeeded == 0 || cchNeeded > MAX_PATH) {
        return FALSE;
    }
    const int cchWritten = std::snprintf(pszPath, cchPath, "%s\\temp.s19", szTempDir);
    return cchWritten > 0 && static_cast<size_t>(cchWritten) < cchPath;
}

} // namespace

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

// Both skinned buttons carry id 0, so only the source window tells OK from Cancel. A command
// without a source window (menu, accelerator, keyboard) never counts as a button press, even
// before the buttons exist.
BOOL CUpdateDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const HWND hWndSource = reinterpret_cast<HWND>(lParam);
    if (hWndSource && hWndSource == m_btnOK.m_hWnd) {
        RunUpdate();
    } else if (hWndSource && hWndSource == m_btnCancel.m_hWnd) {
        ::PostQuitMessage(0);
    }
    return CWnd::OnCommand(wParam, lParam);
}

void CUpdateDlg::RunUpdate() {
    const UINT uDeviceVersion = QueryFirmwareVersion();
    if (uDeviceVersion == 0) {
        ShowFailureNotice();
        return;
    }
    if (CheckFWversion(uDeviceVersion, FW_IMAGE_VERSION) != 1) {
        return;
    }
    m_progress.SendMessage(PBM_SETPOS, 0);
    m_progress.UpdateWindow();
    // A missing or truncated file must never reach the device: stop before programming mode.
    if (!WriteImageFile()) {
        ShowFailureNotice();
        return;
    }
    CIspSession session;
    session.m_strFilePath = m_szImagePath;
    session.m_hNotifyWnd = m_hWnd;
    session.EnterIcpMode();
    ::Sleep(kIcpSettleTime);
    m_progress.UpdateWindow();
    if (ConnectToMcu(session) && RunStages(session)) {
        ShowSuccessNotice();
    } else {
        ShowFailureNotice();
    }
    ::DeleteFileA(m_szImagePath);
}

BOOL CUpdateDlg::WriteImageFile() {
    // A path left from an earlier run, or a cut-off one, must never be deleted or loaded.
    std::memset(m_szImagePath, 0, sizeof(m_szImagePath));
    DWORD dwSize = 0;
    const LPCVOID pImage = LockFirmwareImage(&dwSize);
    if (!pImage) {
        return FALSE;
    }
    if (!FormatImagePath(m_szImagePath, sizeof(m_szImagePath))) {
        std::memset(m_szImagePath, 0, sizeof(m_szImagePath));
        return FALSE;
    }
    const HANDLE hFile = ::CreateFileA(m_szImagePath, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        AfxMessageBox("Couldn't create the file!", MB_OK, 0);
        return FALSE;
    }
    DWORD dwWritten = 0;
    const BOOL bWritten = ::WriteFile(hFile, pImage, dwSize, &dwWritten, nullptr);
    ::CloseHandle(hFile);
    if (!bWritten || dwWritten != dwSize) {
        ::DeleteFileA(m_szImagePath);
        return FALSE;
    }
    return TRUE;
}
