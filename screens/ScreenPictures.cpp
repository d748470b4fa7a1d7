#include "screens/ScreenPictures.h"

#include "SkinLibrary.h"

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
