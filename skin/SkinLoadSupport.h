// What the two skin loaders share: the library and the way out when a picture is missing.
#pragma once

#include "platform/afx/CBitmap.h"
#include "platform/win32.h"

// The skin library, loaded by its path beside the executable; NULL when it cannot be loaded.
HMODULE LoadSkinLibrary();

// Smallest placeholder: the size every screen's buttons need, and the size of the skin.
#define SKIN_PLACEHOLDER_WIDTH 380
#define SKIN_PLACEHOLDER_HEIGHT 280
#define SKIN_MASK_ID 1021

// Puts a placeholder into the target, the mask's size but at least 380 x 280, and its size
// into *pSize: the heading and buttons of the picture's screen (PlaceholderFace.h), so that
// the window still shows what it is about and can be used. Writes nothing to the debugger.
void UseSkinPlaceholder(LPCTSTR lpszResourceName, CBitmap* pBitmap, SIZE* pSize);

// Stores the bitmap's width and height.
void ReportSkinSize(CBitmap* pBitmap, SIZE* pSize);
