// Turns a region's rectangle list into what XShapeCombineRectangles accepts.
#pragma once

#include "XlibHeaders.h"
#include "platform/wintypes.h"

#include <vector>

namespace platform::display::x11 {

struct ShapeRects {
    std::vector<XRectangle> rects;
    int ordering = Unsorted; // YXBanded when the list really is, so the server need not sort
};

// Drops empty rectangles and clamps the rest to the protocol's 16-bit coordinates.
ShapeRects ToShapeRects(const std::vector<RECT>& rects);

bool IsYXBanded(const std::vector<XRectangle>& rects);

} // namespace platform::display::x11
