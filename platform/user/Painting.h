// The painting model: every window paints into its own surface; presenting composes a
// top-level window with its visible children and hands the changed part to the display.
#pragma once

#include "Window.h"

namespace platform::user {

// Marks the whole window (frame and client) for repainting.
void InvalidateWhole(Window& window, bool erase);
// Gives the window a surface of its current size, keeping what overlaps.
void ResizeSurface(Window& window);
// Composes the top-level window of hwnd over `area` (in hwnd's window coordinates) and
// presents it now.
void Present(HWND hwnd, const RECT& area);
void PresentWhole(HWND hwnd);
// Paints the frame and the client of the window now if they need it (not its children).
void PaintNow(const WindowPtr& window);
// The first window of this thread, parents before children, that needs painting.
HWND NextWindowToPaint(HWND filter);
bool NeedsPaint(const Window& window);
// Shown on the screen: visible itself and every ancestor.
bool ReallyVisible(const Window& window);

} // namespace platform::user
