// Copies part of a window's finished pixels to the server.
#pragma once

#include "PixelFormat.h"
#include "platform/internal/surface.h"

namespace platform::display::x11 {

// Sends `dirty` (window coordinates) to the same place in `target`, as far as `surface` holds
// it: the surface holds the part of the window whose top-left corner is `origin`. Returns
// false, sending nothing, when the surface's pixel store does not match its size.
bool UploadSurfaceRect(Display* display, Drawable target, GC gc, const PixelFormat& format,
                       const gdi::Surface& surface, POINT origin, RECT dirty);

} // namespace platform::display::x11
