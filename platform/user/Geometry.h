// Window placement shared by the geometry calls, the move loop and the input router.
#pragma once

#include "Window.h"

namespace platform::user {

// Top-left of the window in screen coordinates.
POINT WindowOriginOnScreen(const Window& window);
// Top-left of the client area in screen coordinates.
POINT ClientOriginOnScreen(const Window& window);
// Moves and sizes the window (rect in parent-client or screen coordinates) and tells it.
void PlaceWindow(const WindowPtr& window, RECT rect, bool repaint);

} // namespace platform::user
