// Giving a skinned window the outline of its mask.
#pragma once

#include "platform/mfc.h"

// Builds the region of the mask's non-white pixels and, when there is one, makes it the
// window's shape (the window owns it from then on). Returns the region, or NULL, in which
// case the window keeps its rectangle.
HRGN ApplySkinRegion(CWnd* pWnd, CBitmap* pShape);
