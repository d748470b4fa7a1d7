// Loading skin pictures from the skin library "skins\ridozuveza.dll" beside the executable.
// The id text is decimal ("1015"); its value's low 16 bits are the integer resource id.
// Both loaders always fill the target and the size, and report nothing: a picture that cannot
// be loaded is replaced by a placeholder that carries its screen's heading and buttons, the
// mask's size but at least 380 x 280, so that the window still shows what it is about and can
// be used.
#pragma once

#include "platform/afx/CBitmap.h"
#include "platform/win32.h"

// A JPEG resource of type "jpgs"; replaces whatever the target held.
void LoadSkinJpeg(LPCTSTR lpszResourceName, CBitmap* pBitmap, SIZE* pSize);

// A bitmap resource.
void LoadSkinBitmap(LPCTSTR lpszResourceName, CBitmap* pBitmap, SIZE* pSize);
