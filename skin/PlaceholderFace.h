// What a placeholder shows in place of a skin picture that cannot be loaded: the heading of
// its screen and that screen's buttons in the state the picture stands for, so that a user
// can still tell the screens apart and find the buttons.
#pragma once

#include "platform/afx/CDC.h"
#include "platform/win32.h"

enum PlaceholderState { PLACEHOLDER_NORMAL, PLACEHOLDER_HOVER, PLACEHOLDER_PRESSED };

struct PlaceholderFace {
    LPCTSTR lpszHeading; // NULL for a plain picture: the mask, or an id no screen uses
    COLORREF crBackground;
    LPCTSTR lpszOkLine; // layout lines of the screen's buttons; NULL where there is none
    LPCTSTR lpszCancelLine;
    PlaceholderState nState;
};

// The face of the picture with this integer resource id.
PlaceholderFace FindPlaceholderFace(WORD wId);

// Paints the face over the whole of a picture of `size` selected into pDC: the screen's colour,
// its heading and its buttons, or the colour alone for a plain picture. Draws no white, so a
// placeholder mask keeps the whole window.
void DrawPlaceholderFace(CDC* pDC, SIZE size, const PlaceholderFace& face);
