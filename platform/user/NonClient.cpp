#include "NonClient.h"

#include "platform/gdi32.h"

namespace platform::user {

bool HasCaption(DWORD style) {
    return (style & WS_CAPTION) == WS_CAPTION;
}

Insets FrameInsets(DWORD style, DWORD exStyle) {
    int frame = 0;
    if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
        frame = kDialogFrame;
    } else if (style & WS_BORDER) {
        frame = kBorder;
    }
    if (exStyle & WS_EX_STATICEDGE) {
        frame += kStaticEdge;
    }
    if (exStyle & WS_EX_CLIENTEDGE) {
        frame += kClientEdge;
    }
    Insets insets{frame, frame, frame, frame};
    if (HasCaption(style)) {
        insets.top += kCaptionHeight;
    }
    return insets;
}

RECT ClientArea(const Window& window) {
    const Insets in = FrameInsets(window.style, window.exStyle);
    RECT r{in.left, in.top, window.Width() - in.right, window.Height() - in.bottom};
    if (r.right < r.left) {
        r.right = r.left;
    }
    if (r.bottom < r.top) {
        r.bottom = r.top;
    }
    return r;
}

RECT CaptionArea(const Window& window) {
    if (!HasCaption(window.style)) {
        return RECT{};
    }
    const Insets in = FrameInsets(window.style, window.exStyle);
    return RECT{in.left, in.top - kCaptionHeight, window.Width() - in.right, in.top - 1};
}

RECT CloseBoxArea(const Window& window) {
    const RECT caption = CaptionArea(window);
    if (caption.right <= caption.left || !(window.style & WS_SYSMENU)) {
        return RECT{};
    }
    const int top = caption.top + (caption.bottom - caption.top - kCaptionButtonHeight) / 2;
    return RECT{caption.right - 2 - kCaptionButtonWidth, top, caption.right - 2,
                top + kCaptionButtonHeight};
}

namespace {

bool Inside(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

} // namespace

LRESULT HitTest(const Window& window, POINT screen) {
    POINT origin{window.rect.left, window.rect.top};
    if (window.IsChild()) {
        POINT topLeft{0, 0};
        ClientToScreen(window.parent, &topLeft);
        origin = {origin.x + topLeft.x, origin.y + topLeft.y};
    }
    const POINT p{screen.x - origin.x, screen.y - origin.y};
    if (!Inside(RECT{0, 0, window.Width(), window.Height()}, p)) {
        return HTNOWHERE;
    }
    if (window.region && !PtInRegion(window.region, p.x, p.y)) {
        return HTNOWHERE;
    }
    if (Inside(ClientArea(window), p)) {
        return HTCLIENT;
    }
    if (Inside(CloseBoxArea(window), p)) {
        return HTCLOSE;
    }
    if (Inside(CaptionArea(window), p)) {
        return HTCAPTION;
    }
    return HTBORDER;
}

} // namespace platform::user
