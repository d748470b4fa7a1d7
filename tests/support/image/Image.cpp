#include "Image.h"

#include <algorithm>
#include <cstdio>

namespace nerith::testing {

namespace {

RECT Clip(const Image& image, const RECT& rect) {
    return RECT{std::max<LONG>(rect.left, 0), std::max<LONG>(rect.top, 0),
                std::min<LONG>(rect.right, image.width), std::min<LONG>(rect.bottom, image.height)};
}

} // namespace

Image Crop(const Image& image, const RECT& rect) {
    const RECT r = Clip(image, rect);
    if (r.right <= r.left || r.bottom <= r.top) {
        return Image();
    }
    Image out(r.right - r.left, r.bottom - r.top);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            out.Set(x, y, image.At(r.left + x, r.top + y));
        }
    }
    return out;
}

int CountPixels(const Image& image, std::uint32_t rgb, std::optional<RECT> rect) {
    const RECT r = Clip(image, rect.value_or(RECT{0, 0, image.width, image.height}));
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            count += image.At(x, y) == rgb ? 1 : 0;
        }
    }
    return count;
}

std::optional<POINT> FirstDifference(const Image& a, const Image& b) {
    if (a.width != b.width || a.height != b.height) {
        return POINT{std::min(a.width, b.width), std::min(a.height, b.height)};
    }
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            if (a.At(x, y) != b.At(x, y)) {
                return POINT{x, y};
            }
        }
    }
    return std::nullopt;
}

std::string DescribeDifference(const Image& a, const Image& b) {
    char text[128];
    if (a.width != b.width || a.height != b.height) {
        std::snprintf(text, sizeof text, "sizes differ: %d x %d vs %d x %d", a.width, a.height,
                      b.width, b.height);
        return text;
    }
    const auto at = FirstDifference(a, b);
    if (!at) {
        return "equal";
    }
    std::snprintf(text, sizeof text, "(%ld, %ld): 0x%06X vs 0x%06X", static_cast<long>(at->x),
                  static_cast<long>(at->y), a.At(at->x, at->y), b.At(at->x, at->y));
    return text;
}

} // namespace nerith::testing
