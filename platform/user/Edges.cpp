#include "platform/gdi32.h"
#include "platform/user32.h"

namespace {

void Line(HDC hdc, int left, int top, int right, int bottom, int colour) {
    const RECT r{left, top, right, bottom};
    FillRect(hdc, &r, GetSysColorBrush(colour));
}

// One ring of a 3-D edge: top and left in one colour, bottom and right in another.
void Ring(HDC hdc, RECT& r, UINT flags, int topLeft, int bottomRight) {
    if (flags & BF_TOP) {
        Line(hdc, r.left, r.top, r.right, r.top + 1, topLeft);
    }
    if (flags & BF_LEFT) {
        Line(hdc, r.left, r.top, r.left + 1, r.bottom, topLeft);
    }
    if (flags & BF_BOTTOM) {
        Line(hdc, r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
    }
    if (flags & BF_RIGHT) {
        Line(hdc, r.right - 1, r.top, r.right, r.bottom, bottomRight);
    }
    r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
}

} // namespace

BOOL WINAPI DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags) {
    if (!hdc || !qrc) {
        return FALSE;
    }
    RECT r = *qrc;
    if (edge & BDR_RAISEDOUTER) {
        Ring(hdc, r, grfFlags, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
    } else if (edge & BDR_SUNKENOUTER) {
        Ring(hdc, r, grfFlags, COLOR_3DSHADOW, COLOR_3DHILIGHT);
    }
    if (edge & BDR_RAISEDINNER) {
        Ring(hdc, r, grfFlags, COLOR_3DHILIGHT, COLOR_3DSHADOW);
    } else if (edge & BDR_SUNKENINNER) {
        Ring(hdc, r, grfFlags, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
    }
    if (grfFlags & BF_ADJUST) {
        *qrc = r;
    }
    return TRUE;
}

BOOL WINAPI DrawFocusRect(HDC hDC, const RECT* lprc) {
    if (!hDC || !lprc) {
        return FALSE;
    }
    // A dotted frame: every other pixel, as the classic look has it.
    const COLORREF black = RGB(0, 0, 0);
    for (int x = lprc->left; x < lprc->right; x += 2) {
        SetPixel(hDC, x, lprc->top, black);
        SetPixel(hDC, x, lprc->bottom - 1, black);
    }
    for (int y = lprc->top; y < lprc->bottom; y += 2) {
        SetPixel(hDC, lprc->left, y, black);
        SetPixel(hDC, lprc->right - 1, y, black);
    }
    return TRUE;
}
