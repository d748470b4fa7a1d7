// Window shapes from mask bitmaps, and cutting a rectangle out of a picture.
#pragma once

#include "platform/afx/CBitmap.h"
#include "platform/afx/CDC.h"
#include "platform/win32.h"

// A region of the pixels of hBmp whose colour lies outside [key, key + tolerance] in any of
// red, green or blue; in the bitmap's pixel coordinates. NULL without a bitmap or when the
// work cannot be done (nothing is left allocated then). The caller owns the region.
HRGN BuildRegionFromBitmap(HBITMAP hBmp, COLORREF cTransparentColor, COLORREF cTolerance);

// Whether a window of `sizeWindow` shaped by hRgn stays readable and usable: the region covers
// at least half of the window and every button rectangle entirely (window coordinates). A
// mask that is all white, too small for the pictures or cuts into a button fails, and the
// window is better left rectangular.
BOOL RegionKeepsWindowUsable(HRGN hRgn, SIZE sizeWindow, const RECT* prcButtons, int nButtons);

// Replaces the target with a bitmap compatible with pDC holding the rectangle's pixels of the
// source. Does nothing when the source is empty.
void CopyBitmapRect(CDC* pDC, CBitmap* pTarget, CBitmap* pSource, RECT rect);
