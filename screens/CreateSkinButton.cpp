#include "screens/CreateSkinButton.h"

#include "SkinLayoutLine.h"

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
