#include "Geometry.h"
#include "Icon.h"
#include "NonClient.h"
#include "Painting.h"
#include "SysColors.h"
#include "ThreadState.h"
#include "platform/gdi32.h"

namespace platform::user {

namespace {

void Frame(gdi::Surface& s, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    FillPixels(s, RECT{r.left, r.top, r.right, r.top + 1}, topLeft);
    FillPixels(s, RECT{r.left, r.top, r.left + 1, r.bottom}, topLeft);
    FillPixels(s, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    FillPixels(s, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

RECT Shrink(const RECT& r) {
    return RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
}

void DrawDialogFrame(gdi::Surface& s, RECT r) {
    Frame(s, r, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW));
    r = Shrink(r);
    Frame(s, r, GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DSHADOW));
    r = Shrink(r);
    Frame(s, r, GetSysColor(COLOR_3DFACE), GetSysColor(COLOR_3DFACE));
}

// The sunken 2-pixel edge just outside the client area.
void DrawClientEdge(gdi::Surface& s, const RECT& client) {
    RECT r{client.left - kClientEdge, client.top - kClientEdge, client.right + kClientEdge,
           client.bottom + kClientEdge};
    Frame(s, r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    r = Shrink(r);
    Frame(s, r, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
}

std::uint8_t Mix(std::uint8_t a, std::uint8_t b, int i, int n) {
    return static_cast<std::uint8_t>(a + (b - a) * i / (n > 1 ? n - 1 : 1));
}

void DrawGradient(gdi::Surface& s, const RECT& r, COLORREF from, COLORREF to) {
    const int width = r.right - r.left;
    for (int i = 0; i < width; ++i) {
        const COLORREF c = RGB(Mix(GetRValue(from), GetRValue(to), i, width),
                               Mix(GetGValue(from), GetGValue(to), i, width),
                               Mix(GetBValue(from), GetBValue(to), i, width));
        FillPixels(s, RECT{r.left + i, r.top, r.left + i + 1, r.bottom}, c);
    }
}

// The close box: a small raised button with an X.
void DrawCloseBox(gdi::Surface& s, const RECT& r) {
    FillPixels(s, r, GetSysColor(COLOR_3DFACE));
    Frame(s, r, GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DDKSHADOW));
    Frame(s, Shrink(r), GetSysColor(COLOR_3DFACE), GetSysColor(COLOR_3DSHADOW));
    const int cx = (r.left + r.right) / 2 - 4;
    const int cy = (r.top + r.bottom) / 2 - 4;
    const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
    for (int i = 0; i < 8; ++i) {
        FillPixels(s, RECT{cx + i, cy + i, cx + i + 2, cy + i + 1}, ink);
        FillPixels(s, RECT{cx + 6 - i, cy + i, cx + 8 - i, cy + i + 1}, ink);
    }
}

void DrawCaption(Window& window, const RECT& caption) {
    const bool active = GetActiveWindow() == window.hwnd;
    DrawGradient(*window.surface, caption,
                 GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION),
                 GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION));
    FillPixels(*window.surface,
               RECT{caption.left, caption.bottom, caption.right, caption.bottom + 1},
               GetSysColor(COLOR_3DFACE));
    int textLeft = caption.left + 2;
    const HDC dc = platform::gdi::CreateSurfaceDC(window.surface, POINT{0, 0}, caption);
    if (!dc) {
        return;
    }
    if (window.iconSmall && (window.style & WS_SYSMENU)) {
        DrawIconScaled(dc, caption.left + 1, caption.top + 1, window.iconSmall, 16);
        textLeft += 18;
    }
    const HGDIOBJ oldFont = SelectObject(dc, PlatformFont(true));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    const RECT close = CloseBoxArea(window);
    RECT text{textLeft, caption.top, close.left ? close.left - 2 : caption.right - 2,
              caption.bottom};
    DrawTextA(dc, window.text.c_str(), -1, &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    DeleteDC(dc);
    if (close.right > close.left) {
        DrawCloseBox(*window.surface, close);
    }
}

} // namespace

void DrawFrame(Window& window) {
    gdi::Surface& s = *window.surface;
    RECT outer{0, 0, window.Width(), window.Height()};
    if (window.exStyle & WS_EX_STATICEDGE) {
        Frame(s, outer, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
        outer = Shrink(outer);
    }
    if ((window.style & WS_DLGFRAME) || (window.exStyle & WS_EX_DLGMODALFRAME)) {
        DrawDialogFrame(s, outer);
    } else if (window.style & WS_BORDER) {
        Frame(s, outer, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME));
    }
    if (window.exStyle & WS_EX_CLIENTEDGE) {
        DrawClientEdge(s, ClientArea(window));
    }
    const RECT caption = CaptionArea(window);
    if (caption.right > caption.left) {
        DrawCaption(window, caption);
    }
}

} // namespace platform::user
