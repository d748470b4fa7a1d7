// Giving a skinned window the outline of its mask.
#pragma once

#include "platform/mfc.h"

#include <initializer_list>

// Builds the region of the mask's non-white pixels and, when it leaves the window usable (at
// least half of it and all of the given buttons inside, RegionKeepsWindowUsable), makes it the
// window's shape (the window owns it from then on). Returns the region, or NULL, in which case
// the window keeps its rectangle.
HRGN ApplySkinRegion(CWnd* pWnd, CBitmap* pShape, std::initializer_list<CWnd*> buttons);
