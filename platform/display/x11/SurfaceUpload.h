// Copies part of a window's finished pixels to the server.
#pragma once

#include "PixelFormat.h"
#include "platform/internal/surface.h"

namespace platform::display::x11 {

// Sends `dirty` (surface coordinates, clipped to the surface) to the same place in `target`.
// Returns false, sending nothing, when the surface's pixel store does not match its size.
bool UploadSurfaceRect(Display* display, Drawable target, GC gc, const PixelFormat& format,
                       const gdi::Surface& surface, RECT dirty);

} // namespace platform::display::x11
