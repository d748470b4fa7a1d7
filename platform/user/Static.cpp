#include "Icon.h"
#include "SysColors.h"
#include "Window.h"
#include "WindowClass.h"
#include "platform/gdi32.h"

namespace platform::user {

namespace {

struct StaticState : WindowExtra {
    HICON icon = nullptr;
};

StaticState* StateOf(HWND hwnd) {
    return ControlState<StaticState>(hwnd);
}

UINT TypeOf(HWND hwnd) {
    return static_cast<UINT>(GetWindowLongA(hwnd, GWL_STYLE)) & SS_TYPEMASK;
}

// An icon static takes the size of its icon, as Windows' does.
HICON SetIcon(HWND hwnd, HICON icon) {
    StaticState* state = StateOf(hwnd);
    if (!state) {
        return nullptr;
    }
    const HICON previous = state->icon;
    state->icon = icon;
    if (const auto data = GetIconData(icon)) {
        SetWindowPos(hwnd, nullptr, 0, 0, data->width, data->height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(hwnd, nullptr, TRUE);
    return previous;
}

void OnCreate(HWND hwnd, const CREATESTRUCTA* cs) {
    if (TypeOf(hwnd) != SS_ICON || !cs || !cs->lpszName) {
        return;
    }
    if (IS_INTRESOURCE(cs->lpszName) || cs->lpszName[0] != '\0') {
        SetIcon(hwnd, LoadIconA(cs->hInstance, cs->lpszName));
    }
    SetWindowTextA(hwnd, "");
}

UINT TextFormat(HWND hwnd) {
    const UINT style = static_cast<UINT>(GetWindowLongA(hwnd, GWL_STYLE));
    UINT format = DT_WORDBREAK;
    if (TypeOf(hwnd) == SS_CENTER) {
        format |= DT_CENTER;
    } else if (TypeOf(hwnd) == SS_RIGHT) {
        format |= DT_RIGHT;
    } else if (TypeOf(hwnd) == SS_LEFTNOWORDWRAP || TypeOf(hwnd) == SS_SIMPLE) {
        format = DT_SINGLELINE;
    }
    if (style & SS_NOPREFIX) {
        format |= DT_NOPREFIX;
    }
    return format;
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps{};
    const HDC dc = BeginPaint(hwnd, &ps);
    const WindowPtr w = FindWindowObject(hwnd);
    if (dc && w) {
        RECT r{};
        GetClientRect(hwnd, &r);
        FillRect(dc, &r, GetSysColorBrush(COLOR_3DFACE));
        if (TypeOf(hwnd) == SS_ICON) {
            const StaticState* state = StateOf(hwnd);
            if (state && state->icon) {
                DrawIcon(dc, 0, 0, state->icon);
            }
        } else {
            const HGDIOBJ old = SelectObject(dc, w->font ? w->font : PlatformFont(false));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(w->Enabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
            DrawTextA(dc, w->text.c_str(), -1, &r, TextFormat(hwnd));
            SelectObject(dc, old);
        }
    }
    EndPaint(hwnd, &ps);
}

} // namespace

LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        OnCreate(hwnd, reinterpret_cast<const CREATESTRUCTA*>(lParam));
        return 0;
    case WM_NCHITTEST:
        return (GetWindowLongA(hwnd, GWL_STYLE) & SS_NOTIFY)
                   ? DefWindowProcA(hwnd, msg, wParam, lParam)
                   : HTTRANSPARENT;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_SETTEXT: {
        const LRESULT r = DefWindowProcA(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case STM_SETICON:
        return reinterpret_cast<LRESULT>(SetIcon(hwnd, reinterpret_cast<HICON>(wParam)));
    case STM_GETICON: {
        const StaticState* state = StateOf(hwnd);
        return reinterpret_cast<LRESULT>(state ? state->icon : nullptr);
    }
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

} // namespace platform::user
