#include "Icon.h"
#include "NonClient.h"
#include "Painting.h"
#include "SysColors.h"
#include "ThreadState.h"
#include "Window.h"
#include "WindowActions.h"
#include "WindowClass.h"
#include "platform/gdi32.h"

#include <algorithm>
#include <cstring>

namespace platform::user {

namespace {

LRESULT OnEraseBackground(const Window& window, HDC hdc) {
    const HBRUSH brush = ResolveBrush(window.cls->background);
    if (!brush) {
        return 0;
    }
    RECT client{};
    GetClientRect(window.hwnd, &client);
    FillRect(hdc, &client, brush);
    return 1;
}

LRESULT OnSetText(Window& window, LPCSTR text) {
    window.text = text ? text : "";
    if (window.native) {
        platform::display::CurrentBackend()->SetTitle(window.native, window.text);
    }
    if (HasCaption(window.style)) {
        window.frameDirty = true;
    }
    return TRUE;
}

LRESULT OnGetText(const Window& window, WPARAM size, LPSTR buffer) {
    if (!buffer || size == 0) {
        return 0;
    }
    const std::size_t n = std::min<std::size_t>(window.text.size(), size - 1);
    std::memcpy(buffer, window.text.data(), n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT OnSetIcon(Window& window, WPARAM which, HICON icon) {
    HICON& slot = which == ICON_BIG ? window.iconBig : window.iconSmall;
    const HICON previous = slot;
    slot = icon;
    const HICON shown = window.iconBig ? window.iconBig : window.iconSmall;
    const auto data = GetIconData(shown);
    if (window.native && data) {
        platform::display::CurrentBackend()->SetIcon(window.native, data->width, data->height,
                                                     data->argb);
    }
    if (HasCaption(window.style)) {
        window.frameDirty = true;
    }
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT OnSysCommand(HWND hwnd, WPARAM command, LPARAM lParam) {
    switch (command & 0xFFF0) {
    case SC_CLOSE:
        SendMessageA(hwnd, WM_CLOSE, 0, 0);
        break;
    case SC_MOVE:
        TrackMove(hwnd);
        break;
    case SC_KEYMENU:
        if (lParam == VK_SPACE) {
            TrackSystemMenu(hwnd);
        }
        break;
    default:
        break;
    }
    return 0;
}

LRESULT OnNcButtonDown(HWND hwnd, WPARAM hit, LPARAM lParam) {
    ThreadState& state = CurrentThread();
    state.closePressed = hit == HTCLOSE ? hwnd : nullptr;
    if (hit == HTCAPTION) {
        SendMessageA(hwnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
    } else if (hit == HTSYSMENU) {
        TrackSystemMenu(hwnd);
    }
    return 0;
}

LRESULT OnNcButtonUp(HWND hwnd, WPARAM hit) {
    ThreadState& state = CurrentThread();
    const bool close = hit == HTCLOSE && state.closePressed == hwnd;
    state.closePressed = nullptr;
    if (close) {
        PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    return 0;
}

LRESULT OnSysChar(const Window& window, WPARAM ch, LPARAM lParam) {
    if (ch != VK_SPACE) {
        return 0;
    }
    if (window.IsChild()) {
        return SendMessageA(window.parent, WM_SYSCHAR, ch, lParam);
    }
    return SendMessageA(window.hwnd, WM_SYSCOMMAND, SC_KEYMENU, VK_SPACE);
}

LRESULT OnSysKeyDown(const Window& window, WPARAM vk) {
    if (vk == VK_F4) {
        PostMessageA(TopLevelOf(window.hwnd), WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    return 0;
}

void PaintDefault(HWND hwnd) {
    PAINTSTRUCT ps{};
    if (BeginPaint(hwnd, &ps)) {
        EndPaint(hwnd, &ps);
    }
}

} // namespace

} // namespace platform::user

using namespace platform::user;

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    const WindowPtr window = FindWindowObject(hWnd);
    if (!window) {
        return 0;
    }
    switch (Msg) {
    case WM_NCCREATE: {
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) {
            window->text = cs->lpszName;
        }
        return TRUE;
    }
    case WM_NCHITTEST:
        return HitTest(*window, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT:
        DrawFrame(*window);
        PresentWhole(hWnd);
        return 0;
    case WM_NCACTIVATE:
        if (HasCaption(window->style)) {
            window->frameDirty = true;
        }
        return TRUE;
    case WM_NCLBUTTONDOWN:
        return OnNcButtonDown(hWnd, wParam, lParam);
    case WM_NCLBUTTONUP:
        return OnNcButtonUp(hWnd, wParam);
    case WM_PAINT:
        PaintDefault(hWnd);
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBackground(*window, reinterpret_cast<HDC>(wParam));
    case WM_SETTEXT:
        return OnSetText(*window, reinterpret_cast<LPCSTR>(lParam));
    case WM_GETTEXT:
        return OnGetText(*window, wParam, reinterpret_cast<LPSTR>(lParam));
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(window->text.size());
    case WM_SETICON:
        return OnSetIcon(*window, wParam, reinterpret_cast<HICON>(lParam));
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? window->iconBig : window->iconSmall);
    case WM_SETFONT:
        window->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(window->font);
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !window->IsChild()) {
            const HWND focus = GetFocus();
            if (focus != hWnd && !IsDescendant(hWnd, focus)) {
                SetFocus(hWnd);
            }
        }
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_ACTIVATE;
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_SYSCOMMAND:
        return OnSysCommand(hWnd, wParam, lParam);
    case WM_SYSCHAR:
        return OnSysChar(*window, wParam, lParam);
    case WM_SYSKEYDOWN:
        return OnSysKeyDown(*window, wParam);
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(window->cls->icon);
    default:
        return 0;
    }
}
