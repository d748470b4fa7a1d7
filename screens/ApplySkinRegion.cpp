#include "screens/ApplySkinRegion.h"

#include "skin/BitmapRegion.h"

HRGN ApplySkinRegion(CWnd* pWnd, CBitmap* pShape) {
    const HRGN hRgn = BuildRegionFromBitmap(*pShape, RGB(255, 255, 255), 0);
    if (hRgn) {
        pWnd->SetWindowRgn(hRgn, TRUE);
    }
    return hRgn;
}
