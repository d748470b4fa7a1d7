#include "screens/PaintSkinBackground.h"

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
