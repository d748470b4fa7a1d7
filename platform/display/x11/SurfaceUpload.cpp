#include "SurfaceUpload.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

namespace platform::display::x11 {

namespace {

RECT ClipToSurface(const gdi::Surface& surface, RECT rect) {
    rect.left = std::max<LONG>(rect.left, 0);
    rect.top = std::max<LONG>(rect.top, 0);
    rect.right = std::min<LONG>(rect.right, surface.width);
    rect.bottom = std::min<LONG>(rect.bottom, surface.height);
    return rect;
}

std::vector<std::uint32_t> ConvertRect(const PixelFormat& format, const gdi::Surface& surface,
                                       const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* source =
            &surface.pixels[static_cast<std::size_t>(rect.top + y) * surface.width + rect.left];
        std::uint32_t* target = &out[static_cast<std::size_t>(y) * width];
        if (format.IsRgb888()) {
            std::transform(source, source + width, target,
                           [](std::uint32_t p) { return p & 0xFFFFFFu; });
            continue;
        }
        std::transform(source, source + width, target, [&](std::uint32_t p) {
            return static_cast<std::uint32_t>(format.FromRgb(p));
        });
    }
    return out;
}

// A client-side 32-bit image over `pixels`; Xlib converts it when the server stores the
// visual's depth with fewer bits per pixel.
bool DescribeImage(XImage& image, const PixelFormat& format, std::vector<std::uint32_t>& pixels,
                   int width, int height) {
    image = XImage{};
    image.width = width;
    image.height = height;
    image.format = ZPixmap;
    image.data = reinterpret_cast<char*>(pixels.data());
    image.byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = image.byte_order;
    image.bitmap_pad = 32;
    image.depth = format.Depth();
    image.bytes_per_line = width * 4;
    image.bits_per_pixel = 32;
    return XInitImage(&image) != 0;
}

} // namespace

bool UploadSurfaceRect(Display* display, Drawable target, GC gc, const PixelFormat& format,
                       const gdi::Surface& surface, RECT dirty) {
    if (surface.width <= 0 || surface.height <= 0 ||
        surface.pixels.size() < static_cast<std::size_t>(surface.width) * surface.height) {
        return false;
    }
    const RECT rect = ClipToSurface(surface, dirty);
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        return true;
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    std::vector<std::uint32_t> pixels = ConvertRect(format, surface, rect);
    XImage image;
    if (!DescribeImage(image, format, pixels, width, height)) {
        return false;
    }
    XPutImage(display, target, gc, &image, 0, 0, rect.left, rect.top, width, height);
    return true;
}

} // namespace platform::display::x11
