#include "SkinLibrary.h"
#include "SkinLoadSupport.h"

#include <cstdlib>

void LoadSkinBitmap(LPCTSTR lpszResourceName, CBitmap* pBitmap, SIZE* pSize) {
    if (!lpszResourceName || !pBitmap || !pSize) {
        UseSkinPlaceholder(lpszResourceName, pBitmap, pSize);
        return;
    }
    HMODULE hSkin = LoadSkinLibrary();
    const int nId = atoi(lpszResourceName);
    HBITMAP hBitmap = hSkin ? LoadBitmapA(hSkin, MAKEINTRESOURCE(nId)) : nullptr;
    if (!hBitmap) {
        UseSkinPlaceholder(lpszResourceName, pBitmap, pSize);
        return;
    }
    // Callers pass an empty target; one that is not would otherwise lose its bitmap.
    pBitmap->DeleteObject();
    pBitmap->Attach(hBitmap);
    ReportSkinSize(pBitmap, pSize);
}
