#include "PlaceholderFace.h"
#include "SkinLayoutLine.h"

namespace {

const COLORREF TEXT_COLOUR = RGB(0xF2, 0xF2, 0xF2); // reads on every screen's dark colour
const int HEADING_MARGIN = 16;
const int HEADING_TOP = 24;

COLORREF Lighter(COLORREF cr) {
    return RGB(GetRValue(cr) + (255 - GetRValue(cr)) / 3, GetGValue(cr) + (255 - GetGValue(cr)) / 3,
               GetBValue(cr) + (255 - GetBValue(cr)) / 3);
}

void FrameSolidRect(CDC* pDC, const RECT& rc, COLORREF cr) {
    const RECT edges[] = {{rc.left, rc.top, rc.right, rc.top + 1},
                          {rc.left, rc.bottom - 1, rc.right, rc.bottom},
                          {rc.left, rc.top, rc.left + 1, rc.bottom},
                          {rc.right - 1, rc.top, rc.right, rc.bottom}};
    for (const RECT& edge : edges) {
        pDC->FillSolidRect(&edge, cr);
    }
}

// The button where its layout line puts it, with its caption, in the face's state.
void DrawButton(CDC* pDC, LPCTSTR lpszLine, const PlaceholderFace& face) {
    if (!lpszLine) {
        return;
    }
    SkinLayoutLine line;
    ParseSkinLayoutLine(lpszLine, &line);
    RECT rc = line.rcBounds;
    COLORREF crCaption = TEXT_COLOUR;
    if (face.nState == PLACEHOLDER_PRESSED) {
        pDC->FillSolidRect(&rc, TEXT_COLOUR);
        crCaption = face.crBackground;
    } else if (face.nState == PLACEHOLDER_HOVER) {
        pDC->FillSolidRect(&rc, Lighter(face.crBackground));
    }
    FrameSolidRect(pDC, rc, TEXT_COLOUR);
    pDC->SetTextColor(crCaption);
    pDC->DrawText(line.szCaption, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void DrawHeading(CDC* pDC, SIZE size, LPCTSTR lpszHeading) {
    RECT rc = {HEADING_MARGIN, HEADING_TOP, size.cx - HEADING_MARGIN, size.cy / 2};
    pDC->SetTextColor(TEXT_COLOUR);
    pDC->DrawText(lpszHeading, -1, &rc, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
}

} // namespace

void DrawPlaceholderFace(CDC* pDC, SIZE size, const PlaceholderFace& face) {
    const RECT rcAll = {0, 0, size.cx, size.cy};
    pDC->FillSolidRect(&rcAll, face.crBackground);
    if (!face.lpszHeading) {
        return;
    }
    pDC->SetBkMode(TRANSPARENT);
    CGdiObject* pOldFont = pDC->SelectStockObject(SYSTEM_FONT);
    DrawHeading(pDC, size, face.lpszHeading);
    pDC->SelectStockObject(DEFAULT_GUI_FONT);
    DrawButton(pDC, face.lpszOkLine, face);
    DrawButton(pDC, face.lpszCancelLine, face);
    if (pOldFont) {
        pDC->SelectObject(pOldFont);
    }
}
