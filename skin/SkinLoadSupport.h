// What the two skin loaders share: the library and the way out when a picture is missing.
#pragma once

#include "platform/afx/CBitmap.h"
#include "platform/win32.h"

// The skin library, loaded by its path beside the executable; NULL when it cannot be loaded.
HMODULE LoadSkinLibrary();

// Size of the placeholder when even the mask cannot be loaded.
#define SKIN_PLACEHOLDER_WIDTH 380
#define SKIN_PLACEHOLDER_HEIGHT 280
#define SKIN_MASK_ID 1021

// Writes one debugger line naming the picture, then puts a plain picture of the mask's size
// (or 380 x 280) into the target and its size into *pSize, so that the window still shows
// and can be closed.
void UseSkinPlaceholder(LPCTSTR lpszResourceName, CBitmap* pBitmap, SIZE* pSize);

// Stores the bitmap's width and height.
void ReportSkinSize(CBitmap* pBitmap, SIZE* pSize);
