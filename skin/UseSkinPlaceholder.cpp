#include "SkinLoadSupport.h"

#include "platform/afx/CDC.h"
#include "platform/afx/CString.h"

#include <cstdlib>

namespace {

// The placeholder takes the mask's size, so that it fits the window the mask outlines.
SIZE PlaceholderSize() {
    SIZE size = {SKIN_PLACEHOLDER_WIDTH, SKIN_PLACEHOLDER_HEIGHT};
    HMODULE hSkin = LoadSkinLibrary();
    HBITMAP hMask = hSkin ? LoadBitmapA(hSkin, MAKEINTRESOURCE(SKIN_MASK_ID)) : nullptr;
    BITMAP bm = {};
    if (hMask && GetObjectA(hMask, sizeof(BITMAP), &bm) && bm.bmWidth > 0 && bm.bmHeight > 0) {
        size.cx = bm.bmWidth;
        size.cy = bm.bmHeight;
    }
    if (hMask) {
        DeleteObject(hMask);
    }
    return size;
}

} // namespace

void UseSkinPlaceholder(LPCTSTR lpszResourceName, CBitmap* pBitmap, SIZE* pSize) {
    const LPCTSTR lpszName = lpszResourceName ? lpszResourceName : "(null)";
    CString strLine;
    strLine.Format(
        "Skin picture \"%s\" (id %u) could not be loaded; showing a placeholder\n", lpszName,
        static_cast<unsigned>(static_cast<WORD>(lpszResourceName ? atoi(lpszResourceName) : 0)));
    OutputDebugStringA(strLine);

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
    CBitmap* pOld = dc.SelectObject(pBitmap);
    const RECT rcAll = {0, 0, size.cx, size.cy};
    dc.FillSolidRect(&rcAll,
                     RGB(0x3A, 0x44, 0x52)); // plain slate: clearly not the skin, never white
    dc.SelectObject(pOld);
}

void ReportSkinSize(CBitmap* pBitmap, SIZE* pSize) {
    BITMAP bm = {};
    pBitmap->GetBitmap(&bm);
    pSize->cx = bm.bmWidth;
    pSize->cy = bm.bmHeight;
}
