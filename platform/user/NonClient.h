// The frame the window system draws around a window's client area: a 1-pixel border
// (WS_BORDER), a classic 3-D dialog frame (WS_DLGFRAME, DS_MODALFRAME), a title bar with a
// close box (WS_CAPTION), a thin sunken edge outside all of these (WS_EX_STATICEDGE) and a
// sunken edge around the client area (WS_EX_CLIENTEDGE). The platform draws them itself
// instead of asking a window manager, so windows look the same on every display and the
// window keeps handling its own caption.
#pragma once

#include "Window.h"

namespace platform::user {

inline constexpr int kBorder = 1;
inline constexpr int kDialogFrame = 3;
inline constexpr int kStaticEdge = 1;
inline constexpr int kClientEdge = 2;
inline constexpr int kCaptionHeight = 19; // the bar and the line beneath it
inline constexpr int kCaptionButtonWidth = 16;
inline constexpr int kCaptionButtonHeight = 14;

struct Insets {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

bool HasCaption(DWORD style);
Insets FrameInsets(DWORD style, DWORD exStyle);
// The client area in window coordinates.
RECT ClientArea(const Window& window);
// The title bar and its close box in window coordinates; empty without a caption.
RECT CaptionArea(const Window& window);
RECT CloseBoxArea(const Window& window);
LRESULT HitTest(const Window& window, POINT screen);
// Paints the frame into the window's surface.
void DrawFrame(Window& window);

} // namespace platform::user
