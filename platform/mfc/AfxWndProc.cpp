#include "MfcState.h"
#include "platform/afx/CWinApp.h"
#include "platform/kernel32.h"

namespace {

using platform::mfc::State;

// MFC centres a dialog after WM_INITDIALOG when it is still hidden, did not move, is owned
// by a disabled window (a modal dialog's owner) or by none, and its template asks for no
// position of its own.
void PostInitDialog(CWnd* pWnd, const RECT& rectOld, DWORD styleOld) {
    if (styleOld & WS_VISIBLE) {
        return;
    }
    if (pWnd->GetStyle() & (WS_VISIBLE | WS_CHILD)) {
        return;
    }
    CRect rect;
    pWnd->GetWindowRect(&rect);
    if (rectOld.left != rect.left || rectOld.top != rect.top) {
        return;
    }
    const HWND owner = ::GetWindow(pWnd->m_hWnd, GW_OWNER);
    if (owner && ::IsWindowEnabled(owner)) {
        return;
    }
    if (pWnd->CheckAutoCenter()) {
        pWnd->CenterWindow();
    }
}

void SubclassAtCreation(HWND hwnd, CWnd* pWnd) {
    pWnd->Attach(hwnd);
    pWnd->PreSubclassWindow();
    const auto old = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (old != &AfxWndProc) {
        pWnd->m_pfnSuper = old;
    }
}

LRESULT CallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    MSG& last = State().lastSent;
    const MSG saved = last;
    last = MSG{hWnd, nMsg, wParam, lParam, 0, POINT{}};
    CRect rectOld;
    DWORD styleOld = 0;
    if (nMsg == WM_INITDIALOG) {
        pWnd->GetWindowRect(&rectOld);
        styleOld = pWnd->GetStyle();
    }
    const LRESULT result = pWnd->WindowProc(nMsg, wParam, lParam);
    if (nMsg == WM_INITDIALOG && ::IsWindow(hWnd)) {
        PostInitDialog(pWnd, rectOld, styleOld);
    }
    State().lastSent = saved;
    if (nMsg == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == pWnd) {
        pWnd->OnFinalDestroy();
    }
    return result;
}

// The first window this thread creates after HookWindowCreate belongs to the object that
// armed it, and is subclassed before its first message.
LRESULT CALLBACK CbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    auto& state = State();
    if (code == HCBT_CREATEWND && state.wndInit) {
        CWnd* pWnd = state.wndInit;
        state.wndInit = nullptr;
        SubclassAtCreation(reinterpret_cast<HWND>(wParam), pWnd);
    }
    return ::CallNextHookEx(state.cbtHook, code, wParam, lParam);
}

} // namespace

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd) {
        return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
    }
    return CallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

void CWnd::HookWindowCreate() {
    auto& state = State();
    state.wndInit = this;
    if (!state.cbtHook) {
        state.cbtHook =
            ::SetWindowsHookExA(WH_CBT, &CbtFilterHook, nullptr, ::GetCurrentThreadId());
    }
}

// A window created inside another's creation unhooks early; the outer one no longer needs it.
void CWnd::UnhookWindowCreate() {
    auto& state = State();
    state.wndInit = nullptr;
    if (state.cbtHook) {
        ::UnhookWindowsHookEx(state.cbtHook);
        state.cbtHook = nullptr;
    }
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!Attach(hWnd)) {
        return FALSE;
    }
    PreSubclassWindow();
    const auto old = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (old != &AfxWndProc) {
        m_pfnSuper = old;
    }
    return TRUE;
}

LRESULT CWnd::Default() {
    const MSG& last = State().lastSent;
    return DefWindowProc(last.message, last.wParam, last.lParam);
}

const MSG* CWnd::GetCurrentMessage() {
    return &State().lastSent;
}

void CWnd::OnFinalDestroy() {
    CWinApp* app = AfxGetApp();
    // The main window going away ends the application, as in MFC; and the application
    // must not keep a pointer to an object whose window is gone.
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        AfxPostQuitMessage(0);
    }
    if (m_pfnSuper) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        m_pfnSuper = nullptr;
    }
    Detach();
    PostNcDestroy();
}
