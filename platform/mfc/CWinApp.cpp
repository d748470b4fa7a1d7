#include "platform/afx/CWinApp.h"

#include "MfcState.h"
#include "platform/kernel32.h"

#include <cstdio>
#include <cstring>

namespace {

CWinApp*& TheApp() {
    static CWinApp* app = nullptr;
    return app;
}

// The executable's file name without folder and extension, MFC's default application name.
CString ExecutableName() {
    char path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return CString("Application");
    }
    const char* base = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '/' || *p == '\\') {
            base = p + 1;
        }
    }
    CString name(base);
    const int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(dot) : name;
}

} // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCTSTR lpszAppName) : m_pszAppName(lpszAppName) {
    if (TheApp()) {
        std::fprintf(stderr, "nerith: a second application object; the first one stays\n");
        return;
    }
    TheApp() = this;
}

CWinApp::~CWinApp() {
    if (TheApp() == this) {
        TheApp() = nullptr;
    }
}

int CWinApp::Run() {
    while (PumpMessage()) {
    }
    return ExitInstance();
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) {
    CWnd* main = m_pMainWnd;
    const HWND mainWnd = main ? main->m_hWnd : nullptr;
    if (CWnd::WalkPreTranslateTree(mainWnd, pMsg)) {
        return TRUE;
    }
    // Last chance for messages of windows outside the main window (modeless pop-ups).
    if (mainWnd && pMsg->hwnd) {
        CWnd* target = CWnd::FromHandle(pMsg->hwnd);
        CWnd* top = target ? target->GetTopLevelParent() : nullptr;
        if (top && top->m_hWnd != mainWnd) {
            return main->PreTranslateMessage(pMsg);
        }
    }
    return FALSE;
}

BOOL CWinApp::PumpMessage() {
    MSG& msg = platform::mfc::State().current;
    if (!::GetMessageA(&msg, nullptr, 0, 0)) {
        return FALSE;
    }
    if (!PreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return TRUE;
}

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT) {
    if (!m_pszAppName) {
        m_defaultName = ExecutableName();
        m_pszAppName = m_defaultName;
    }
    CWnd* main = m_pMainWnd;
    HWND owner = main ? main->m_hWnd : nullptr;
    if (owner && !::IsWindowEnabled(owner)) {
        // A modal pop-up is up over the main window: the box goes over that one.
        const HWND active = ::GetActiveWindow();
        owner = active ? active : owner;
    }
    return ::MessageBoxA(owner, lpszPrompt, m_pszAppName, nType);
}

// There is no help file to open.
void CWinApp::OnHelp() {}

CWinApp* AfxGetApp() {
    return TheApp();
}

CWnd* AfxGetMainWnd() {
    CWinApp* app = AfxGetApp();
    return app ? app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle() {
    return ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() {
    return ::GetModuleHandleA(nullptr);
}

void AfxEnableControlContainer() {}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp) {
    if (CWinApp* app = AfxGetApp()) {
        return app->DoMessageBox(lpszText, nType, nIDHelp);
    }
    const CString name = ExecutableName();
    return ::MessageBoxA(::GetActiveWindow(), lpszText, name, nType);
}

BOOL AfxPumpMessage() {
    if (CWinApp* app = AfxGetApp()) {
        return app->PumpMessage();
    }
    MSG& msg = platform::mfc::State().current;
    if (!::GetMessageA(&msg, nullptr, 0, 0)) {
        return FALSE;
    }
    if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return TRUE;
}

void AfxPostQuitMessage(int nExitCode) {
    ::PostQuitMessage(nExitCode);
}
