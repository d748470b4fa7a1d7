#include "ShapeRects.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace platform::display::x11 {

namespace {

constexpr long kMinCoordinate = std::numeric_limits<std::int16_t>::min();
constexpr long kMaxCoordinate = std::numeric_limits<std::int16_t>::max();

long Clamp(long value) {
    return std::clamp(value, kMinCoordinate, kMaxCoordinate);
}

bool SameBand(const XRectangle& a, const XRectangle& b) {
    return a.y == b.y && a.height == b.height;
}

} // namespace

ShapeRects ToShapeRects(const std::vector<RECT>& rects) {
    ShapeRects shape;
    shape.rects.reserve(rects.size());
    for (const RECT& r : rects) {
        const long left = Clamp(r.left), right = Clamp(r.right);
        const long top = Clamp(r.top), bottom = Clamp(r.bottom);
        if (right <= left || bottom <= top) {
            continue;
        }
        shape.rects.push_back(XRectangle{static_cast<short>(left), static_cast<short>(top),
                                         static_cast<unsigned short>(right - left),
                                         static_cast<unsigned short>(bottom - top)});
    }
    shape.ordering = IsYXBanded(shape.rects) ? YXBanded : Unsorted;
    return shape;
}

// Rows of equal-height rectangles, top to bottom, each row left to right without overlap,
// and no row reaching into the next.
bool IsYXBanded(const std::vector<XRectangle>& rects) {
    for (std::size_t i = 1; i < rects.size(); ++i) {
        const XRectangle& previous = rects[i - 1];
        const XRectangle& current = rects[i];
        if (SameBand(previous, current)) {
            if (current.x < previous.x + previous.width) {
                return false;
            }
            continue;
        }
        if (current.y < previous.y + previous.height) {
            return false;
        }
    }
    return true;
}

} // namespace platform::display::x11
