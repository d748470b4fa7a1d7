#include "BitmapRegion.h"

#include <algorithm>
#include <vector>

namespace {

const DWORD ALLOC_UNIT = 100; // rectangles added to the buffer at a time
const DWORD MAX_BATCH = 2000; // rectangles handed to ExtCreateRegion at a time

// The rectangle buffer: a global block holding an RGNDATA record.
struct RegionBuffer {
    HGLOBAL hData = nullptr;
    RGNDATA* pData = nullptr;
    DWORD maxRects = ALLOC_UNIT;

    DWORD Bytes() const { return sizeof(RGNDATAHEADER) + sizeof(RECT) * maxRects; }
    RECT* Rects() { return reinterpret_cast<RECT*>(pData->Buffer); }

    void ResetHeader() {
        pData->rdh.nCount = 0;
        pData->rdh.rcBound = RECT{0x7FFFFFFF, 0x7FFFFFFF, 0, 0};
    }

    BOOL Allocate() {
        hData = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, Bytes());
        pData = hData ? static_cast<RGNDATA*>(GlobalLock(hData)) : nullptr;
        if (!pData) {
            return FALSE;
        }
        pData->rdh.dwSize = sizeof(RGNDATAHEADER);
        pData->rdh.iType = RDH_RECTANGLES;
        pData->rdh.nRgnSize = 0;
        ResetHeader();
        return TRUE;
    }

    BOOL Grow() {
        GlobalUnlock(hData);
        maxRects += ALLOC_UNIT;
        HGLOBAL hGrown = GlobalReAlloc(hData, Bytes(), GMEM_MOVEABLE);
        if (hGrown) {
            hData = hGrown;
        }
        pData = static_cast<RGNDATA*>(GlobalLock(hData));
        return hGrown && pData;
    }

    void Append(LONG left, LONG top, LONG right, LONG bottom) {
        Rects()[pData->rdh.nCount++] = RECT{left, top, right, bottom};
        RECT& bound = pData->rdh.rcBound;
        bound.left = std::min(bound.left, left);
        bound.top = std::min(bound.top, top);
        bound.right = std::max(bound.right, right);
        bound.bottom = std::max(bound.bottom, bottom);
    }

    void Free() {
        if (hData) {
            GlobalUnlock(hData);
            GlobalFree(hData);
        }
    }
};

// Turns the buffered rectangles into a region, merges it into hRgn and empties the buffer.
BOOL Flush(RegionBuffer& buffer, HRGN& hRgn) {
    HRGN hBatch = ExtCreateRegion(nullptr, buffer.Bytes(), buffer.pData);
    if (!hBatch) {
        return FALSE;
    }
    if (hRgn) {
        CombineRgn(hRgn, hRgn, hBatch, RGN_OR);
        DeleteObject(hBatch);
    } else {
        hRgn = hBatch;
    }
    buffer.ResetHeader();
    return TRUE;
}

struct ChannelRange {
    BYTE lr, lg, lb, hr, hg, hb;

    ChannelRange(COLORREF key, COLORREF tolerance)
        : lr(GetRValue(key)), lg(GetGValue(key)), lb(GetBValue(key)),
          hr(static_cast<BYTE>(std::min(0xff, lr + GetRValue(tolerance)))),
          hg(static_cast<BYTE>(std::min(0xff, lg + GetGValue(tolerance)))),
          hb(static_cast<BYTE>(std::min(0xff, lb + GetBValue(tolerance)))) {}

    // p points at blue, green, red, reserved.
    bool Transparent(const BYTE* p) const {
        return p[0] >= lb && p[0] <= hb && p[1] >= lg && p[1] <= hg && p[2] >= lr && p[2] <= hr;
    }
};

// Scans the 32-bit working image row by row, top row first, into batches of rectangles.
BOOL ScanRows(const BITMAP& bm32, const ChannelRange& range, RegionBuffer& buffer, HRGN& hRgn) {
    const BYTE* p32 = static_cast<const BYTE*>(bm32.bmBits) +
                      static_cast<std::ptrdiff_t>(bm32.bmHeight - 1) * bm32.bmWidthBytes;
    for (int y = 0; y < bm32.bmHeight; y++) {
        for (int x = 0; x < bm32.bmWidth; x++) {
            const int x0 = x;
            while (x < bm32.bmWidth &&
                   !range.Transparent(p32 + static_cast<std::ptrdiff_t>(x) * 4)) {
                x++;
            }
            if (x > x0) {
                if (buffer.pData->rdh.nCount >= buffer.maxRects && !buffer.Grow()) {
                    return FALSE;
                }
                buffer.Append(x0, y, x, y + 1);
                if (buffer.pData->rdh.nCount == MAX_BATCH && !Flush(buffer, hRgn)) {
                    return FALSE;
                }
            }
        }
        p32 -= bm32.bmWidthBytes;
    }
    return Flush(buffer, hRgn);
}

// The area of a region, whose rectangles never overlap.
LONGLONG RegionArea(HRGN hRgn) {
    const DWORD dwBytes = GetRegionData(hRgn, 0, nullptr);
    if (dwBytes < sizeof(RGNDATAHEADER)) {
        return 0;
    }
    std::vector<BYTE> buffer(dwBytes);
    auto* pData = reinterpret_cast<RGNDATA*>(buffer.data());
    if (GetRegionData(hRgn, dwBytes, pData) != dwBytes) {
        return 0;
    }
    const auto* pRects = reinterpret_cast<const RECT*>(pData->Buffer);
    LONGLONG llArea = 0;
    for (DWORD i = 0; i < pData->rdh.nCount; ++i) {
        llArea += static_cast<LONGLONG>(pRects[i].right - pRects[i].left) *
                  (pRects[i].bottom - pRects[i].top);
    }
    return llArea;
}

BOOL CoversHalfOfWindow(HRGN hRgn, SIZE sizeWindow) {
    CGdiObject rgnInside;
    CGdiObject rgnWindow;
    if (!rgnInside.Attach(CreateRectRgn(0, 0, 0, 0)) ||
        !rgnWindow.Attach(CreateRectRgn(0, 0, sizeWindow.cx, sizeWindow.cy)) ||
        CombineRgn(static_cast<HRGN>(rgnInside.m_hObject), hRgn,
                   static_cast<HRGN>(rgnWindow.m_hObject), RGN_AND) == ERROR) {
        return FALSE;
    }
    const LONGLONG llWindow = static_cast<LONGLONG>(sizeWindow.cx) * sizeWindow.cy;
    return llWindow > 0 && 2 * RegionArea(static_cast<HRGN>(rgnInside.m_hObject)) >= llWindow;
}

BOOL CoversRect(HRGN hRgn, const RECT& rc) {
    CGdiObject rgnRect;
    CGdiObject rgnOutside;
    if (!rgnRect.Attach(CreateRectRgnIndirect(&rc)) ||
        !rgnOutside.Attach(CreateRectRgn(0, 0, 0, 0))) {
        return FALSE;
    }
    return CombineRgn(static_cast<HRGN>(rgnOutside.m_hObject), static_cast<HRGN>(rgnRect.m_hObject),
                      hRgn, RGN_DIFF) == NULLREGION;
}

} // namespace

HRGN BuildRegionFromBitmap(HBITMAP hBmp, COLORREF cTransparentColor, COLORREF cTolerance) {
    if (!hBmp) {
        return nullptr;
    }
    HDC hMemDC = CreateCompatibleDC(nullptr);
    if (!hMemDC) {
        return nullptr;
    }
    BITMAP bm = {};
    GetObjectA(hBmp, sizeof(bm), &bm);

    BITMAPINFOHEADER bmi = {
        sizeof(BITMAPINFOHEADER), bm.bmWidth, bm.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pbits32 = nullptr;
    HBITMAP hbm32 = CreateDIBSection(hMemDC, reinterpret_cast<BITMAPINFO*>(&bmi), DIB_RGB_COLORS,
                                     &pbits32, nullptr, 0);
    if (!hbm32) {
        DeleteDC(hMemDC);
        return nullptr;
    }
    HBITMAP holdBmp = static_cast<HBITMAP>(SelectObject(hMemDC, hbm32));

    HRGN hRgn = nullptr;
    HDC hDC = CreateCompatibleDC(hMemDC);
    if (hDC) {
        BITMAP bm32 = {};
        GetObjectA(hbm32, sizeof(bm32), &bm32);
        while (bm32.bmWidthBytes % 4) {
            bm32.bmWidthBytes++;
        }
        // A source that is selected into another DC cannot be read; no shape then.
        HBITMAP holdBmp2 = static_cast<HBITMAP>(SelectObject(hDC, hBmp));
        RegionBuffer buffer;
        if (holdBmp2 && BitBlt(hMemDC, 0, 0, bm.bmWidth, bm.bmHeight, hDC, 0, 0, SRCCOPY) &&
            buffer.Allocate() &&
            !ScanRows(bm32, ChannelRange(cTransparentColor, cTolerance), buffer, hRgn) && hRgn) {
            // A partial shape would be wrong; the window keeps its rectangle instead.
            DeleteObject(hRgn);
            hRgn = nullptr;
        }
        buffer.Free();
        if (holdBmp2) {
            SelectObject(hDC, holdBmp2);
        }
        DeleteDC(hDC);
    }
    SelectObject(hMemDC, holdBmp);
    DeleteObject(hbm32);
    DeleteDC(hMemDC);
    return hRgn;
}

BOOL RegionKeepsWindowUsable(HRGN hRgn, SIZE sizeWindow, const RECT* prcButtons, int nButtons) {
    if (!hRgn || !CoversHalfOfWindow(hRgn, sizeWindow)) {
        return FALSE;
    }
    for (int i = 0; i < nButtons; ++i) {
        if (!CoversRect(hRgn, prcButtons[i])) {
            return FALSE;
        }
    }
    return TRUE;
}

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
