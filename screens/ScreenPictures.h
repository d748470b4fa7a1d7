// The whole-window pictures of one skinned screen: a background and one picture per button
// state, all of the mask's size, loaded from the skin library in the order the skin expects.
#pragma once

#include "platform/mfc.h"

// The four button-state pictures, needed only while the screen's buttons cut their images.
struct ScreenPictures {
    CBitmap bmpNormal;
    CBitmap bmpPressed;
    CBitmap bmpHover;
    CBitmap bmpDisabled;
};

// Loads the mask "1021" into pShape, the background into the normal and disabled pictures and
// into pBackground, and the pressed and hover pictures. Returns the size of the last picture
// loaded, the background, which is the screen's size.
SIZE LoadScreenPictures(CBitmap* pShape, CBitmap* pBackground, ScreenPictures* pPictures,
                        LPCTSTR lpszBackground, LPCTSTR lpszPressed, LPCTSTR lpszHover);
