#include "SkinnedWindow.h"

#include "BitmapRegion.h"
#include "SkinLayoutLine.h"
#include "SkinLibrary.h"

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

SIZE LoadScreenPictures(CBitmap* pShape, CBitmap* pBackground, ScreenPictures* pPictures,
                        LPCTSTR lpszBackground, LPCTSTR lpszPressed, LPCTSTR lpszHover) {
    SIZE size{0, 0};
    LoadSkinBitmap("1021", pShape, &size);
    LoadSkinJpeg(lpszBackground, &pPictures->bmpNormal, &size);
    LoadSkinJpeg(lpszPressed, &pPictures->bmpPressed, &size);
    LoadSkinJpeg(lpszHover, &pPictures->bmpHover, &size);
    LoadSkinJpeg(lpszBackground, &pPictures->bmpDisabled, &size);
    LoadSkinJpeg(lpszBackground, pBackground, &size);
    return size;
}

void CreateSkinButton(CSkinButton* pButton, LPCTSTR lpszLayoutLine, CWnd* pParent,
                      ScreenPictures* pPictures) {
    SkinLayoutLine line;
    ParseSkinLayoutLine(lpszLayoutLine, &line);
    pButton->Create("", WS_CHILD | WS_VISIBLE, line.rcBounds, pParent, 0);
    pButton->SetStateBitmaps(line.rcBounds, &pPictures->bmpNormal, &pPictures->bmpHover,
                             &pPictures->bmpPressed, &pPictures->bmpDisabled);
    pButton->SetPressed(line.bPressed);
    CString strCaption(line.szCaption);
    pButton->SetTooltipText(&strCaption, TRUE);
}

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

void PaintSkinBackground(CDC* pDC, const CRect& rcClient, CBitmap* pBackground) {
    if (!pBackground->GetSafeHandle()) {
        return;
    }
    CDC dcPicture;
    CDC dcCompose;
    dcPicture.CreateCompatibleDC(pDC);
    dcCompose.CreateCompatibleDC(pDC);
    CBitmap bmpCompose;
    bmpCompose.CreateCompatibleBitmap(pDC, rcClient.Width(), rcClient.Height());
    CBitmap* pOldPicture = dcPicture.SelectObject(pBackground);
    CBitmap* pOldCompose = dcCompose.SelectObject(&bmpCompose);
    dcCompose.BitBlt(rcClient.left, rcClient.top, rcClient.Width(), rcClient.Height(), &dcPicture,
                     0, 0, SRCCOPY);
    pDC->BitBlt(rcClient.left, rcClient.top, rcClient.Width(), rcClient.Height(), &dcCompose, 0, 0,
                SRCCOPY);
    if (pOldPicture) {
        dcPicture.SelectObject(pOldPicture);
    }
    if (pOldCompose) {
        dcCompose.SelectObject(pOldCompose);
    }
    bmpCompose.DeleteObject();
    dcPicture.DeleteDC();
    dcCompose.DeleteDC();
}

void DragSkinnedWindow(CWnd* pWnd, CPoint point) {
    pWnd->PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}
