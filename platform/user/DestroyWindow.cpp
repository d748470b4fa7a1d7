#include "Input.h"
#include "Painting.h"
#include "ThreadState.h"
#include "Window.h"
#include "platform/gdi32.h"
#include "platform/kernel32.h"

#include <algorithm>

namespace platform::user {

namespace {

std::vector<HWND> OwnedBy(HWND owner) {
    std::vector<HWND> owned;
    for (const WindowPtr& w : AllWindows()) {
        if (w->owner == owner && !w->destroying) {
            owned.push_back(w->hwnd);
        }
    }
    return owned;
}

void MarkDestroying(const WindowPtr& window) {
    window->destroying = true;
    for (HWND child : window->children) {
        if (const WindowPtr c = FindWindowObject(child)) {
            MarkDestroying(c);
        }
    }
}

void SendDestroy(HWND hwnd) {
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    const WindowPtr window = FindWindowObject(hwnd);
    if (!window) {
        return;
    }
    const std::vector<HWND> children = window->children;
    for (HWND child : children) {
        SendDestroy(child);
    }
}

void Unlink(const Window& window) {
    if (const WindowPtr parent = FindWindowObject(window.parent)) {
        std::erase(parent->children, window.hwnd);
    }
}

void ForgetInputState(HWND hwnd) {
    ThreadState& state = CurrentThread();
    if (state.capture == hwnd) {
        state.capture = nullptr;
    }
    if (state.focus == hwnd) {
        state.focus = nullptr;
    }
    if (state.active == hwnd) {
        state.active = nullptr;
    }
    std::erase_if(state.timers, [hwnd](const Timer& t) { return t.hwnd == hwnd; });
    std::lock_guard lock(state.mutex);
    std::erase_if(state.posted, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
    std::erase_if(state.input, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
}

void Free(HWND hwnd) {
    const WindowPtr window = FindWindowObject(hwnd);
    if (!window) {
        return;
    }
    const std::vector<HWND> children = window->children;
    for (HWND child : children) {
        Free(child);
    }
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    Unlink(*window);
    ForgetInputState(hwnd);
    if (window->region) {
        DeleteObject(window->region);
        window->region = nullptr;
    }
    if (window->systemMenu) {
        DestroyMenu(window->systemMenu);
        window->systemMenu = nullptr;
    }
    if (window->native) {
        platform::display::CurrentBackend()->Destroy(window->native);
    }
    RemoveWindow(hwnd);
}

} // namespace

} // namespace platform::user

BOOL WINAPI DestroyWindow(HWND hWnd) {
    using namespace platform::user;
    const WindowPtr window = GetWindowObject(hWnd);
    if (!window) {
        return FALSE;
    }
    if (window->thread != std::this_thread::get_id()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (window->destroying) {
        return TRUE;
    }
    for (HWND owned : OwnedBy(hWnd)) {
        DestroyWindow(owned);
    }
    if (window->Visible()) {
        ShowWindow(hWnd, SW_HIDE);
    }
    MarkDestroying(window);
    ReleaseInputFrom(hWnd);
    SendDestroy(hWnd);
    Free(hWnd);
    return TRUE;
}
