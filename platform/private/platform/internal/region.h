// What the window system needs of a region: its y-x-banded rectangles, ready for a display
// server's shape call (sorted by top then left, bands of equal top share their bottom).
#pragma once

#include "platform/wintypes.h"

#include <vector>

namespace platform::gdi {

// False (ERROR_INVALID_HANDLE) when `hrgn` is not a region.
bool GetRegionRects(HRGN hrgn, std::vector<RECT>& rects);

} // namespace platform::gdi
