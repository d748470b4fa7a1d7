#include "BitmapRegion.h"

#include <vector>

namespace {

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
