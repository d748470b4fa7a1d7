// Painting a skinned window's background picture.
#pragma once

#include "platform/mfc.h"

// Copies the background over the whole client area through one off-screen bitmap of the
// client's size, so the window never shows a half-drawn frame.
void PaintSkinBackground(CDC* pDC, const CRect& rcClient, CBitmap* pBackground);
