#include "BitmapRegion.h"

void CopyBitmapRect(CDC* pDC, CBitmap* pTarget, CBitmap* pSource, RECT rect) {
    if (!pSource || !pSource->GetSafeHandle() || !pTarget) {
        return;
    }
    const int nWidth = rect.right - rect.left;
    const int nHeight = rect.bottom - rect.top;
    if (pTarget->GetSafeHandle()) {
        pTarget->DeleteObject();
    }
    pTarget->CreateCompatibleBitmap(pDC, nWidth, nHeight);

    CDC dcTarget, dcSource;
    dcTarget.CreateCompatibleDC(pDC);
    dcSource.CreateCompatibleDC(pDC);
    CBitmap* pOldTarget = dcTarget.SelectObject(pTarget);
    CBitmap* pOldSource = dcSource.SelectObject(pSource);
    dcTarget.StretchBlt(0, 0, nWidth, nHeight, &dcSource, rect.left, rect.top, nWidth, nHeight,
                        SRCCOPY);
    if (pOldTarget) {
        dcTarget.SelectObject(pOldTarget);
    }
    if (pOldSource) {
        dcSource.SelectObject(pOldSource);
    }
}
