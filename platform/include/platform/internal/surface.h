// The pixel store behind window DCs and the display: 32-bit pixels 0x00RRGGBB, rows top-down.
// Memory bitmaps keep their own storage inside gdi; this is what windows paint into.
#pragma once

#include "platform/wintypes.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platform::gdi {

struct Surface {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // width * height, row y at pixels[y * width]

    Surface() = default;
    Surface(int w, int h, std::uint32_t fill = 0)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// A device context that draws into `surface`, its origin at `origin` of the surface and every
// operation clipped to `clip` (surface coordinates). Released with DeleteDC.
HDC CreateSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, RECT clip);

} // namespace platform::gdi
