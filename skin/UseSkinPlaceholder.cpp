#include "PlaceholderFace.h"
#include "SkinLoadSupport.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The mask's size, so that the placeholder fills the window the mask outlines, but never
// smaller than the size every screen's buttons need.
SIZE PlaceholderSize() {
    SIZE size = {SKIN_PLACEHOLDER_WIDTH, SKIN_PLACEHOLDER_HEIGHT};
    HMODULE hSkin = LoadSkinLibrary();
    HBITMAP hMask = hSkin ? LoadBitmapA(hSkin, MAKEINTRESOURCE(SKIN_MASK_ID)) : nullptr;
    BITMAP bm = {};
    if (hMask && GetObjectA(hMask, sizeof(BITMAP), &bm)) {
        size.cx = std::max<LONG>(size.cx, bm.bmWidth);
        size.cy = std::max<LONG>(size.cy, bm.bmHeight);
    }
    if (hMask) {
        DeleteObject(hMask);
    }
    return size;
}

} // namespace

void UseSkinPlaceholder(LPCTSTR lpszResourceName, CBitmap* pBitmap, SIZE* pSize) {
    const SIZE size = PlaceholderSize();
    if (pSize) {
        *pSize = size;
    }
    if (!pBitmap) {
        return;
    }
    pBitmap->DeleteObject();
    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr) ||
        !pBitmap->CreateCompatibleBitmap(&dc, size.cx, size.cy)) {
        return;
    }
    const WORD wId = lpszResourceName ? static_cast<WORD>(atoi(lpszResourceName)) : 0;
    CBitmap* pOld = dc.SelectObject(pBitmap);
    DrawPlaceholderFace(&dc, size, FindPlaceholderFace(wId));
    dc.SelectObject(pOld);
}

void ReportSkinSize(CBitmap* pBitmap, SIZE* pSize) {
    BITMAP bm = {};
    pBitmap->GetBitmap(&bm);
    pSize->cx = bm.bmWidth;
    pSize->cy = bm.bmHeight;
}
