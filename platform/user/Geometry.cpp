#include "Geometry.h"

#include "NonClient.h"
#include "Painting.h"
#include "platform/kernel32.h"

#include <algorithm>

namespace platform::user {

POINT WindowOriginOnScreen(const Window& window) {
    POINT origin{window.rect.left, window.rect.top};
    if (window.IsChild()) {
        if (const WindowPtr parent = FindWindowObject(window.parent)) {
            const POINT base = ClientOriginOnScreen(*parent);
            origin = {origin.x + base.x, origin.y + base.y};
        }
    }
    return origin;
}

POINT ClientOriginOnScreen(const Window& window) {
    const POINT origin = WindowOriginOnScreen(window);
    const RECT client = ClientArea(window);
    return POINT{origin.x + client.left, origin.y + client.top};
}

namespace {

constexpr int kMaxExtent = 16384;

RECT Union(const RECT& a, const RECT& b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

void TellGeometry(const Window& window, bool moved, bool sized) {
    if (moved) {
        const RECT client = ClientArea(window);
        SendMessageA(window.hwnd, WM_MOVE, 0,
                     MAKELPARAM(window.rect.left + client.left, window.rect.top + client.top));
    }
    if (sized) {
        const RECT client = ClientArea(window);
        SendMessageA(window.hwnd, WM_SIZE, SIZE_RESTORED,
                     MAKELPARAM(client.right - client.left, client.bottom - client.top));
    }
}

} // namespace

void PlaceWindow(const WindowPtr& window, RECT rect, bool repaint) {
    rect.right = rect.left + std::clamp<LONG>(rect.right - rect.left, 0, kMaxExtent);
    rect.bottom = rect.top + std::clamp<LONG>(rect.bottom - rect.top, 0, kMaxExtent);
    const RECT old = window->rect;
    const bool moved = old.left != rect.left || old.top != rect.top;
    const bool sized =
        window->Width() != rect.right - rect.left || window->Height() != rect.bottom - rect.top;
    if (!moved && !sized) {
        return;
    }
    window->rect = rect;
    if (sized) {
        ResizeSurface(*window);
        InvalidateWhole(*window, true);
    } else if (repaint) {
        window->frameDirty = true;
    }
    if (window->native) {
        platform::display::CurrentBackend()->Move(window->native, rect);
    } else if (const WindowPtr parent = FindWindowObject(window->parent)) {
        const RECT client = ClientArea(*parent);
        RECT area = Union(old, rect);
        OffsetRect(&area, client.left, client.top);
        Present(parent->hwnd, area);
    }
    TellGeometry(*window, moved, sized);
}

} // namespace platform::user

using namespace platform::user;

BOOL WINAPI SetWindowPos(HWND hWnd, HWND, int X, int Y, int cx, int cy, UINT uFlags) {
    const WindowPtr window = GetChangeableWindow(hWnd);
    if (!window) {
        return FALSE;
    }
    RECT rect = window->rect;
    if (!(uFlags & SWP_NOMOVE)) {
        OffsetRect(&rect, X - rect.left, Y - rect.top);
    }
    if (!(uFlags & SWP_NOSIZE)) {
        rect.right = rect.left + cx;
        rect.bottom = rect.top + cy;
    }
    PlaceWindow(window, rect, !(uFlags & SWP_NOREDRAW));
    if (uFlags & SWP_SHOWWINDOW) {
        ShowWindow(hWnd, (uFlags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    }
    if (uFlags & SWP_HIDEWINDOW) {
        ShowWindow(hWnd, SW_HIDE);
    }
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight,
                        SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0u : SWP_NOREDRAW));
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    const WindowPtr window = GetWindowObject(hWnd);
    if (!window || !lpRect) {
        return FALSE;
    }
    const POINT origin = WindowOriginOnScreen(*window);
    *lpRect = RECT{origin.x, origin.y, origin.x + window->Width(), origin.y + window->Height()};
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    const WindowPtr window = GetWindowObject(hWnd);
    if (!window || !lpRect) {
        return FALSE;
    }
    const RECT client = ClientArea(*window);
    *lpRect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    const WindowPtr window = GetWindowObject(hWnd);
    if (!window || !lpPoint) {
        return FALSE;
    }
    const POINT origin = ClientOriginOnScreen(*window);
    lpPoint->x += origin.x;
    lpPoint->y += origin.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    const WindowPtr window = GetWindowObject(hWnd);
    if (!window || !lpPoint) {
        return FALSE;
    }
    const POINT origin = ClientOriginOnScreen(*window);
    lpPoint->x -= origin.x;
    lpPoint->y -= origin.y;
    return TRUE;
}

int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
    POINT from{0, 0};
    POINT to{0, 0};
    if (hWndFrom && !ClientToScreen(hWndFrom, &from)) {
        return 0;
    }
    if (hWndTo && !ClientToScreen(hWndTo, &to)) {
        return 0;
    }
    const int dx = from.x - to.x;
    const int dy = from.y - to.y;
    for (UINT i = 0; lpPoints && i < cPoints; ++i) {
        lpPoints[i].x += dx;
        lpPoints[i].y += dy;
    }
    SetLastError(ERROR_SUCCESS);
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL, DWORD dwExStyle) {
    if (!lpRect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const Insets in = FrameInsets(dwStyle, dwExStyle);
    lpRect->left -= in.left;
    lpRect->top -= in.top;
    lpRect->right += in.right;
    lpRect->bottom += in.bottom;
    return TRUE;
}
