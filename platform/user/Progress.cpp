#include "SysColors.h"
#include "Window.h"
#include "WindowClass.h"
#include "platform/commctrl.h"
#include "platform/gdi32.h"

#include <algorithm>

namespace platform::user {

namespace {

constexpr int kBlockGap = 2;

struct ProgressState : WindowExtra {
    int low = 0;
    int high = 100;
    int pos = 0;
    int step = 10;
    COLORREF background = CLR_DEFAULT;
    COLORREF bar = CLR_DEFAULT;
};

ProgressState& StateOf(HWND hwnd) {
    static ProgressState none;
    ProgressState* state = ControlState<ProgressState>(hwnd);
    return state ? *state : none;
}

COLORREF Resolve(COLORREF colour, int fallback) {
    return colour == CLR_DEFAULT ? GetSysColor(fallback) : colour;
}

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
    const RECT r{left, top, right, bottom};
    const HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// Blocks two thirds as wide as the bar is high, two pixels apart, inside a one-pixel margin
// of the background colour.
void Paint(HWND hwnd) {
    PAINTSTRUCT ps{};
    const HDC dc = BeginPaint(hwnd, &ps);
    if (dc) {
        const ProgressState& s = StateOf(hwnd);
        RECT client{};
        GetClientRect(hwnd, &client);
        const COLORREF background = Resolve(s.background, COLOR_3DFACE);
        const COLORREF bar = Resolve(s.bar, COLOR_HIGHLIGHT);
        Fill(dc, client.left, client.top, client.right, client.bottom, background);
        const RECT inner{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
        const int width = inner.right - inner.left;
        const int height = inner.bottom - inner.top;
        const int range = s.high - s.low;
        const int filled = range > 0 ? MulDiv(s.pos - s.low, width, range) : 0;
        const int block = std::max(1, MulDiv(height, 2, 3));
        for (int x = 0; x < filled && height > 0; x += block + kBlockGap) {
            Fill(dc, inner.left + x, inner.top, inner.left + std::min(x + block, width),
                 inner.bottom, bar);
        }
    }
    EndPaint(hwnd, &ps);
}

void Changed(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, FALSE);
}

LRESULT SetPos(HWND hwnd, int pos) {
    ProgressState& s = StateOf(hwnd);
    const int previous = s.pos;
    s.pos = std::clamp(pos, std::min(s.low, s.high), std::max(s.low, s.high));
    if (s.pos != previous) {
        Changed(hwnd);
    }
    return previous;
}

LRESULT SetRange(HWND hwnd, int low, int high) {
    ProgressState& s = StateOf(hwnd);
    const LRESULT previous = MAKELONG(static_cast<WORD>(s.low), static_cast<WORD>(s.high));
    s.low = low;
    s.high = high;
    s.pos = std::clamp(s.pos, std::min(low, high), std::max(low, high));
    Changed(hwnd);
    return previous;
}

LRESULT StepIt(HWND hwnd) {
    ProgressState& s = StateOf(hwnd);
    const int previous = s.pos;
    int next = s.pos + s.step;
    if (next > s.high || next < s.low) {
        next = s.low + (next - s.low) % std::max(1, s.high - s.low);
    }
    SetPos(hwnd, next);
    return previous;
}

LRESULT SetColour(HWND hwnd, COLORREF& slot, COLORREF colour) {
    const COLORREF previous = slot;
    slot = colour;
    Changed(hwnd);
    return static_cast<LRESULT>(previous);
}

// The bar always wears the thin sunken edge, in place of a client edge that a dialog gave it.
void ThinEdge(HWND hwnd) {
    const auto exStyle = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE));
    SetWindowLongA(hwnd, GWL_EXSTYLE,
                   static_cast<LONG>((exStyle & ~WS_EX_CLIENTEDGE) | WS_EX_STATICEDGE));
}

} // namespace

LRESULT CALLBACK ProgressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCCREATE:
        ThinEdge(hwnd);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case PBM_SETRANGE:
        return SetRange(hwnd, LOWORD(lParam), HIWORD(lParam));
    case PBM_SETRANGE32:
        return SetRange(hwnd, static_cast<int>(wParam), static_cast<int>(lParam));
    case PBM_GETRANGE: {
        const ProgressState& s = StateOf(hwnd);
        if (auto* range = reinterpret_cast<PBRANGE*>(lParam)) {
            *range = PBRANGE{s.low, s.high};
        }
        return wParam ? s.low : s.high;
    }
    case PBM_SETPOS:
        return SetPos(hwnd, static_cast<int>(wParam));
    case PBM_DELTAPOS:
        return SetPos(hwnd, StateOf(hwnd).pos + static_cast<int>(wParam));
    case PBM_GETPOS:
        return StateOf(hwnd).pos;
    case PBM_SETSTEP: {
        const int previous = StateOf(hwnd).step;
        StateOf(hwnd).step = static_cast<int>(wParam);
        return previous;
    }
    case PBM_STEPIT:
        return StepIt(hwnd);
    case PBM_SETBARCOLOR:
        return SetColour(hwnd, StateOf(hwnd).bar, static_cast<COLORREF>(lParam));
    case PBM_SETBKCOLOR:
        return SetColour(hwnd, StateOf(hwnd).background, static_cast<COLORREF>(lParam));
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

} // namespace platform::user
