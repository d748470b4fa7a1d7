#include "SysColors.h"
#include "Window.h"
#include "WindowClass.h"
#include "platform/gdi32.h"

namespace platform::user {

namespace {

// BST_PUSHED and BST_FOCUS are the visible state; Tracking means the left button went down
// on the button and has not come up yet.
constexpr UINT kTracking = 0x0100;

struct ButtonState : WindowExtra {
    UINT state = 0;
};

ButtonState& StateOf(HWND hwnd) {
    static ButtonState none;
    ButtonState* state = ControlState<ButtonState>(hwnd);
    return state ? *state : none;
}

UINT TypeOf(HWND hwnd) {
    return static_cast<UINT>(GetWindowLongA(hwnd, GWL_STYLE)) & BS_TYPEMASK;
}

void Notify(HWND hwnd, WORD code) {
    const HWND parent = GetParent(hwnd);
    if (parent) {
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), code),
                     reinterpret_cast<LPARAM>(hwnd));
    }
}

void DrawOwner(HWND hwnd, HDC dc, UINT action) {
    const UINT s = StateOf(hwnd).state;
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
    dis.itemAction = action;
    dis.itemState = ((s & BST_PUSHED) ? ODS_SELECTED : 0u) |
                    (IsWindowEnabled(hwnd) ? 0u : ODS_DISABLED) |
                    ((s & BST_FOCUS) ? ODS_FOCUS : 0u);
    dis.hwndItem = hwnd;
    dis.hDC = dc;
    GetClientRect(hwnd, &dis.rcItem);
    SendMessageA(GetParent(hwnd), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}

// The classic push button: a raised 3-D frame, sunken while pushed, with a black frame
// around it when it is the default button or has the focus.
void DrawPush(HWND hwnd, HDC dc) {
    const UINT s = StateOf(hwnd).state;
    RECT r{};
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    const bool isDefault = TypeOf(hwnd) == BS_DEFPUSHBUTTON || (s & BST_FOCUS);
    if (isDefault) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&r, -1, -1);
    }
    if (s & BST_PUSHED) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
    } else {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
    }
    const WindowPtr w = FindWindowObject(hwnd);
    const HGDIOBJ old = SelectObject(dc, w && w->font ? w->font : PlatformFont(false));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    RECT text = r;
    if (s & BST_PUSHED) {
        OffsetRect(&text, 1, 1);
    }
    DrawTextA(dc, w ? w->text.c_str() : "", -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, old);
    if (s & BST_FOCUS) {
        InflateRect(&r, -3, -3);
        DrawFocusRect(dc, &r);
    }
}

void Paint(HWND hwnd, UINT action) {
    PAINTSTRUCT ps{};
    const HDC dc = BeginPaint(hwnd, &ps);
    if (dc) {
        if (TypeOf(hwnd) == BS_OWNERDRAW) {
            DrawOwner(hwnd, dc, action);
        } else {
            DrawPush(hwnd, dc);
        }
    }
    EndPaint(hwnd, &ps);
}

void Redraw(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

void SetPushed(HWND hwnd, bool pushed) {
    ButtonState& b = StateOf(hwnd);
    const UINT next = pushed ? (b.state | BST_PUSHED) : (b.state & ~BST_PUSHED);
    if (next != b.state) {
        b.state = next;
        Redraw(hwnd);
    }
}

bool Inside(HWND hwnd, LPARAM lParam) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return PtInRect(&r, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE;
}

void OnButtonDown(HWND hwnd) {
    SetCapture(hwnd);
    SetFocus(hwnd);
    StateOf(hwnd).state |= kTracking;
    SendMessageA(hwnd, BM_SETSTATE, TRUE, 0);
}

void OnButtonUp(HWND hwnd, LPARAM lParam) {
    ButtonState& b = StateOf(hwnd);
    if (!(b.state & kTracking)) {
        return;
    }
    b.state &= ~kTracking;
    const bool pushed = (b.state & BST_PUSHED) != 0;
    SendMessageA(hwnd, BM_SETSTATE, FALSE, 0);
    ReleaseCapture();
    if (pushed && Inside(hwnd, lParam)) {
        Notify(hwnd, BN_CLICKED);
    }
}

void OnCaptureLost(HWND hwnd) {
    ButtonState& b = StateOf(hwnd);
    if (b.state & kTracking) {
        b.state &= ~kTracking;
        SetPushed(hwnd, false);
    }
}

LRESULT DialogCode(HWND hwnd) {
    switch (TypeOf(hwnd)) {
    case BS_DEFPUSHBUTTON:
        return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON:
        return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    default:
        return DLGC_BUTTON;
    }
}

LRESULT SetStyle(HWND hwnd, WPARAM style, LPARAM redraw) {
    const LONG current = GetWindowLongA(hwnd, GWL_STYLE);
    SetWindowLongA(hwnd, GWL_STYLE,
                   static_cast<LONG>((static_cast<UINT>(current) & ~BS_TYPEMASK) |
                                     (static_cast<UINT>(style) & BS_TYPEMASK)));
    if (redraw) {
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    return 0;
}

} // namespace

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_GETDLGCODE:
        return DialogCode(hwnd);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(hwnd, ODA_DRAWENTIRE);
        return 0;
    case WM_LBUTTONDOWN:
        OnButtonDown(hwnd);
        return 0;
    case WM_MOUSEMOVE:
        if ((StateOf(hwnd).state & kTracking) && GetCapture() == hwnd) {
            SendMessageA(hwnd, BM_SETSTATE, Inside(hwnd, lParam), 0);
        }
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp(hwnd, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureLost(hwnd);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            SendMessageA(hwnd, BM_SETSTATE, TRUE, 0);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && (StateOf(hwnd).state & BST_PUSHED)) {
            SendMessageA(hwnd, BM_SETSTATE, FALSE, 0);
            Notify(hwnd, BN_CLICKED);
        }
        return 0;
    case WM_SETFOCUS:
        StateOf(hwnd).state |= BST_FOCUS;
        Redraw(hwnd);
        return 0;
    case WM_KILLFOCUS:
        StateOf(hwnd).state &= ~BST_FOCUS;
        if ((StateOf(hwnd).state & kTracking) && GetCapture() == hwnd) {
            ReleaseCapture();
        }
        Redraw(hwnd);
        return 0;
    case WM_ENABLE:
        Redraw(hwnd);
        return 0;
    case WM_SETTEXT: {
        const LRESULT r = DefWindowProcA(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case BM_SETSTATE:
        SetPushed(hwnd, wParam != 0);
        return 0;
    case BM_GETSTATE:
        return StateOf(hwnd).state & (BST_PUSHED | BST_FOCUS);
    case BM_SETSTYLE:
        return SetStyle(hwnd, wParam, lParam);
    case BM_CLICK:
        SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessageA(hwnd, WM_LBUTTONUP, 0, 0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

} // namespace platform::user
