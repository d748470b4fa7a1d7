// Creating one skinned button of a screen from its skin layout line.
#pragma once

#include "SkinButton.h"
#include "platform/mfc.h"
#include "screens/ScreenPictures.h"

// Creates the button at the line's rectangle with control id 0, cuts its state images out of
// the screen's pictures there, latches it as the line says and gives it the line's caption as
// its tooltip.
void CreateSkinButton(CSkinButton* pButton, LPCTSTR lpszLayoutLine, CWnd* pParent,
                      ScreenPictures* pPictures);
