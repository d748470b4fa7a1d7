// What the skinned windows (the main window, the prompt and the notice) share: their pictures,
// buttons made from layout lines, their outline, their background and dragging them. Each
// window stays a plain CDialog and calls these from its own handlers.
#pragma once

#include "SkinButton.h"
#include "platform/mfc.h"

#include <initializer_list>

// The whole-window pictures of one skinned screen that only its buttons need: one per button
// state, all of the mask's size, kept only while the buttons cut their images.
struct ScreenPictures {
    CBitmap bmpNormal;
    CBitmap bmpPressed;
    CBitmap bmpHover;
    CBitmap bmpDisabled;
};

// Loads the mask "1021" into pShape, the background into the normal and disabled pictures and
// into pBackground, and the pressed and hover pictures, in the order the skin expects. Returns
// the size of the last picture loaded, the background, which is the screen's size.
SIZE LoadScreenPictures(CBitmap* pShape, CBitmap* pBackground, ScreenPictures* pPictures,
                        LPCTSTR lpszBackground, LPCTSTR lpszPressed, LPCTSTR lpszHover);

// Creates the button at the line's rectangle with control id 0, cuts its state images out of
// the screen's pictures there, latches it as the line says and gives it the line's caption as
// its tooltip.
void CreateSkinButton(CSkinButton* pButton, LPCTSTR lpszLayoutLine, CWnd* pParent,
                      ScreenPictures* pPictures);

// Builds the region of the mask's non-white pixels and, when it leaves the window usable (at
// least half of it and all of the given buttons inside, RegionKeepsWindowUsable), makes it the
// window's shape (the window owns it from then on). Returns the region, or NULL, in which case
// the window keeps its rectangle.
HRGN ApplySkinRegion(CWnd* pWnd, CBitmap* pShape, std::initializer_list<CWnd*> buttons);

// Copies the background over the whole client area through one off-screen bitmap of the
// client's size, so the window never shows a half-drawn frame.
void PaintSkinBackground(CDC* pDC, const CRect& rcClient, CBitmap* pBackground);

// A skinned window has no caption bar: the press is posted back to it as a press on a
// caption, so the system moves the window with the pointer until the button comes up.
// `point` is the press as the window received it.
void DragSkinnedWindow(CWnd* pWnd, CPoint point);
