// The classic colour scheme and the small drawing helpers the controls and frames share.
#pragma once

#include "platform/internal/surface.h"
#include "platform/user32.h"

#include <cstdint>

namespace platform::user {

// COLORREF (0x00BBGGRR) to a surface pixel (0x00RRGGBB).
std::uint32_t PixelOf(COLORREF colour);
void FillPixels(gdi::Surface& surface, const RECT& rect, COLORREF colour);
// A brush given as COLOR_x + 1, as window classes hold them, becomes the system brush.
HBRUSH ResolveBrush(HBRUSH brush);
// The font the platform draws its own words in (captions, buttons, tooltips, menus).
HFONT PlatformFont(bool bold);

} // namespace platform::user
