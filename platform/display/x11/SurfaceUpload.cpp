#include "SurfaceUpload.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

namespace platform::display::x11 {

namespace {

// Pixels converted and sent at a time: a band of rows, not a copy of the whole rectangle.
constexpr std::size_t kBandPixels = std::size_t{8} * 1024;

RECT Intersect(RECT a, const RECT& b) {
    a.left = std::max(a.left, b.left);
    a.top = std::max(a.top, b.top);
    a.right = std::min(a.right, b.right);
    a.bottom = std::min(a.bottom, b.bottom);
    return a;
}

// Row `y` (window coordinates) of `rect` into `target`, in the visual's pixel format.
void ConvertRow(const PixelFormat& format, const gdi::Surface& surface, POINT origin,
                const RECT& rect, int y, std::uint32_t* target) {
    const std::uint32_t* source =
        &surface.pixels[static_cast<std::size_t>(y - origin.y) * surface.width +
                        static_cast<std::size_t>(rect.left - origin.x)];
    const int width = rect.right - rect.left;
    if (format.IsRgb888()) {
        std::transform(source, source + width, target,
                       [](std::uint32_t p) { return p & 0xFFFFFFu; });
        return;
    }
    std::transform(source, source + width, target,
                   [&](std::uint32_t p) { return static_cast<std::uint32_t>(format.FromRgb(p)); });
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
                       const gdi::Surface& surface, POINT origin, RECT dirty) {
    if (surface.width <= 0 || surface.height <= 0 ||
        surface.pixels.size() < static_cast<std::size_t>(surface.width) * surface.height) {
        return false;
    }
    const RECT held{origin.x, origin.y, origin.x + surface.width, origin.y + surface.height};
    const RECT rect = Intersect(dirty, held);
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        return true;
    }
    const int width = rect.right - rect.left;
    const int bandRows =
        static_cast<int>(std::clamp<std::size_t>(kBandPixels / static_cast<std::size_t>(width), 1,
                                                 static_cast<std::size_t>(rect.bottom - rect.top)));
    std::vector<std::uint32_t> band(static_cast<std::size_t>(width) * bandRows);
    for (int top = rect.top; top < rect.bottom; top += bandRows) {
        const int rows = std::min(bandRows, static_cast<int>(rect.bottom) - top);
        for (int y = 0; y < rows; ++y) {
            ConvertRow(format, surface, origin, rect, top + y,
                       &band[static_cast<std::size_t>(y) * width]);
        }
        XImage image;
        if (!DescribeImage(image, format, band, width, rows)) {
            return false;
        }
        XPutImage(display, target, gc, &image, 0, 0, rect.left, top, width, rows);
    }
    return true;
}

} // namespace platform::display::x11
