#include "Input.h"
#include "Painting.h"
#include "ThreadState.h"
#include "Window.h"
#include "platform/kernel32.h"

#include <atomic>

namespace platform::user {

void ReleaseInputFrom(HWND hwnd) {
    ThreadState& state = CurrentThread();
    if (state.capture && (state.capture == hwnd || IsDescendant(hwnd, state.capture))) {
        ReleaseCapture();
    }
    if (state.focus && (state.focus == hwnd || IsDescendant(hwnd, state.focus))) {
        const WindowPtr w = FindWindowObject(hwnd);
        SetFocus(w && w->IsChild() ? w->parent : nullptr);
    }
}

namespace {

// The display's keyboard follows the active window, as on Windows, so a key typed at a window
// that has just been shown reaches it whatever the display did with its focus before.
void GiveKeyboard(HWND top) {
    const WindowPtr window = FindWindowObject(top);
    platform::display::Backend* backend = platform::display::CurrentBackend();
    if (window && window->native && backend) {
        backend->Activate(window->native);
    }
}

void Deactivate(ThreadState& state, HWND next) {
    const HWND old = state.active;
    if (!old || !IsWindow(old)) {
        return;
    }
    SendMessageA(old, WM_NCACTIVATE, FALSE, 0);
    SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(next));
    if (!next) {
        SendMessageA(old, WM_ACTIVATEAPP, FALSE, 0);
    }
}

} // namespace

} // namespace platform::user

using namespace platform::user;

HWND WINAPI SetCapture(HWND hWnd) {
    ThreadState& state = CurrentThread();
    const HWND previous = state.capture;
    if (hWnd && !GetChangeableWindow(hWnd)) {
        return nullptr;
    }
    state.capture = hWnd;
    if (previous && previous != hWnd && IsWindow(previous)) {
        SendMessageA(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    }
    return previous;
}

BOOL WINAPI ReleaseCapture() {
    ThreadState& state = CurrentThread();
    const HWND previous = state.capture;
    state.capture = nullptr;
    if (previous && IsWindow(previous)) {
        SendMessageA(previous, WM_CAPTURECHANGED, 0, 0);
    }
    return TRUE;
}

HWND WINAPI GetCapture() {
    return CurrentThread().capture;
}

HWND WINAPI SetActiveWindow(HWND hWnd) {
    ThreadState& state = CurrentThread();
    if (hWnd && !GetChangeableWindow(hWnd)) {
        return nullptr;
    }
    const HWND top = hWnd ? TopLevelOf(hWnd) : nullptr;
    if (hWnd && !top) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    const HWND old = state.active;
    if (old == top) {
        GiveKeyboard(top);
        return old;
    }
    Deactivate(state, top);
    state.active = top;
    if (!top) {
        return old;
    }
    GiveKeyboard(top);
    if (!old) {
        SendMessageA(top, WM_ACTIVATEAPP, TRUE, 0);
    }
    SendMessageA(top, WM_NCACTIVATE, TRUE, 0);
    SendMessageA(top, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(old));
    return old;
}

HWND WINAPI GetActiveWindow() {
    return CurrentThread().active;
}
HWND WINAPI GetForegroundWindow() {
    return CurrentThread().active;
}
BOOL WINAPI SetForegroundWindow(HWND hWnd) {
    return SetActiveWindow(hWnd) || IsWindow(hWnd);
}

HWND WINAPI SetFocus(HWND hWnd) {
    ThreadState& state = CurrentThread();
    if (hWnd) {
        if (!GetChangeableWindow(hWnd)) {
            return nullptr;
        }
        const HWND top = TopLevelOf(hWnd);
        if (top != state.active) {
            SetActiveWindow(top);
        }
    }
    const HWND old = state.focus;
    if (old == hWnd) {
        return old;
    }
    state.focus = hWnd;
    if (old && IsWindow(old)) {
        SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    }
    if (hWnd && state.focus == hWnd) {
        SendMessageA(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return old;
}

HWND WINAPI GetFocus() {
    return CurrentThread().focus;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    const WindowPtr window = GetWindowObject(hWnd);
    return window && window->Enabled();
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    const WindowPtr window = GetChangeableWindow(hWnd);
    if (!window) {
        return FALSE;
    }
    const bool wasDisabled = !window->Enabled();
    if (bEnable && wasDisabled) {
        window->style &= ~WS_DISABLED;
        SendMessageA(hWnd, WM_ENABLE, TRUE, 0);
    } else if (!bEnable && !wasDisabled) {
        window->style |= WS_DISABLED;
        ThreadState& state = CurrentThread();
        if (state.focus == hWnd) {
            SetFocus(nullptr);
        }
        if (state.capture == hWnd) {
            ReleaseCapture();
        }
        SendMessageA(hWnd, WM_ENABLE, FALSE, 0);
    }
    return wasDisabled;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    const WindowPtr window = FindWindowObject(hWnd);
    return window && ReallyVisible(*window);
}

namespace {

bool Activates(int nCmdShow) {
    return nCmdShow == SW_SHOW || nCmdShow == SW_SHOWNORMAL;
}

std::uint64_t NextZOrder() {
    static std::atomic<std::uint64_t> counter{0};
    return ++counter;
}

void ShowTopLevel(const WindowPtr& window, bool show, int nCmdShow) {
    platform::display::CurrentBackend()->Show(window->native, show);
    if (show) {
        window->zOrder = NextZOrder();
        // Activated before anything of it shows: what a user can see takes keys.
        if (Activates(nCmdShow)) {
            SetActiveWindow(window->hwnd);
        }
        PresentWhole(window->hwnd);
        return;
    }
    ThreadState& state = CurrentThread();
    if (state.active == window->hwnd) {
        const WindowPtr owner = FindWindowObject(window->owner);
        SetActiveWindow(owner && owner->Visible() ? owner->hwnd : nullptr);
    }
}

} // namespace

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    const WindowPtr window = GetChangeableWindow(hWnd);
    if (!window) {
        return FALSE;
    }
    const bool wasVisible = window->Visible();
    const bool show = nCmdShow != SW_HIDE;
    if (show == wasVisible) {
        if (show && !window->IsChild() && Activates(nCmdShow)) {
            SetActiveWindow(hWnd);
        }
        return wasVisible;
    }
    SendMessageA(hWnd, WM_SHOWWINDOW, show, 0);
    if (!IsWindow(hWnd)) {
        return wasVisible;
    }
    if (!show) {
        ReleaseInputFrom(hWnd);
        window->style &= ~WS_VISIBLE;
    } else {
        window->style |= WS_VISIBLE;
        InvalidateWhole(*window, true);
    }
    if (window->native) {
        ShowTopLevel(window, show, nCmdShow);
    } else {
        PresentWhole(hWnd);
    }
    return wasVisible;
}
