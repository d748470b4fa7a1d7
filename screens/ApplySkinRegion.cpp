#include "screens/ApplySkinRegion.h"

#include "BitmapRegion.h"

#include <vector>

namespace {

// The rectangles of the buttons in the window's own coordinates, which the region uses.
std::vector<RECT> ButtonRects(const CRect& rcWindow, std::initializer_list<CWnd*> buttons) {
    std::vector<RECT> rects;
    for (CWnd* pButton : buttons) {
        if (!pButton->GetSafeHwnd()) {
            continue;
        }
        CRect rcButton;
        pButton->GetWindowRect(&rcButton);
        rcButton.OffsetRect(-rcWindow.left, -rcWindow.top);
        rects.push_back(rcButton);
    }
    return rects;
}

} // namespace

HRGN ApplySkinRegion(CWnd* pWnd, CBitmap* pShape, std::initializer_list<CWnd*> buttons) {
    const HRGN hRgn = BuildRegionFromBitmap(*pShape, RGB(255, 255, 255), 0);
    if (!hRgn) {
        return nullptr;
    }
    CRect rcWindow;
    pWnd->GetWindowRect(&rcWindow);
    const std::vector<RECT> rcButtons = ButtonRects(rcWindow, buttons);
    if (!RegionKeepsWindowUsable(hRgn, rcWindow.Size(), rcButtons.data(),
                                 static_cast<int>(rcButtons.size()))) {
        DeleteObject(hRgn);
        return nullptr;
    }
    pWnd->SetWindowRgn(hRgn, TRUE);
    return hRgn;
}
