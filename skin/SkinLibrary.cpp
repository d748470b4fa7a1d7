#include "SkinLibrary.h"

#include "SkinLayoutLine.h"
#include "platform/afx/CClientDC.h"
#include "platform/afx/CDC.h"
#include "platform/afx/CString.h"
#include "platform/crt.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Smallest placeholder: the size every screen's buttons need, and the size of the skin.
const LONG PLACEHOLDER_WIDTH = 380;
const LONG PLACEHOLDER_HEIGHT = 280;
const WORD SKIN_MASK_ID = 1021;

const COLORREF TEXT_COLOUR = RGB(0xF2, 0xF2, 0xF2); // reads on every screen's dark colour
const int HEADING_MARGIN = 16;
const int HEADING_TOP = 24;

enum PlaceholderState { PLACEHOLDER_NORMAL, PLACEHOLDER_HOVER, PLACEHOLDER_PRESSED };

// What a placeholder shows in place of a skin picture that cannot be loaded: the heading of
// its screen and that screen's buttons in the state the picture stands for, so that a user
// can still tell the screens apart and find the buttons.
struct PlaceholderFace {
    LPCTSTR lpszHeading; // NULL for a plain picture: the mask, or an id no screen uses
    COLORREF crBackground;
    LPCTSTR lpszOkLine; // layout lines of the screen's buttons; NULL where there is none
    LPCTSTR lpszCancelLine;
    PlaceholderState nState;
};

struct PlaceholderScreen {
    WORD wBackground;
    WORD wHover;
    WORD wPressed;
    LPCTSTR lpszHeading;
    COLORREF crBackground;
    LPCTSTR lpszOkLine;
    LPCTSTR lpszCancelLine;
};

// Each screen has a colour of its own, so that even without fonts success and failure differ.
const PlaceholderScreen SCREENS[] = {
    {1015, 1018, 1016, "Ready to update", RGB(0x3A, 0x44, 0x52), SKIN_LINE_MAIN_OK,
     SKIN_LINE_MAIN_CANCEL},
    {1026, 1027, 1025, "Install older firmware?", RGB(0x6B, 0x4A, 0x12), SKIN_LINE_PROMPT_OK,
     SKIN_LINE_PROMPT_CANCEL},
    {1005, 1006, 1004, "Update complete", RGB(0x1F, 0x5C, 0x35), SKIN_LINE_NOTICE_OK, nullptr},
    {1008, 1009, 1007, "Update failed", RGB(0x80, 0x22, 0x22), SKIN_LINE_NOTICE_OK, nullptr},
    {1030, 1029, 1028, "Already up to date", RGB(0x1F, 0x48, 0x78), SKIN_LINE_NOTICE_OK, nullptr},
};

const COLORREF PLAIN_BACKGROUND = RGB(0x3A, 0x44, 0x52); // clearly not the skin, never white

PlaceholderFace FindPlaceholderFace(WORD wId) {
    for (const PlaceholderScreen& screen : SCREENS) {
        PlaceholderFace face = {screen.lpszHeading, screen.crBackground, screen.lpszOkLine,
                                screen.lpszCancelLine, PLACEHOLDER_NORMAL};
        if (wId == screen.wHover) {
            face.nState = PLACEHOLDER_HOVER;
        } else if (wId == screen.wPressed) {
            face.nState = PLACEHOLDER_PRESSED;
        } else if (wId != screen.wBackground) {
            continue;
        }
        return face;
    }
    return PlaceholderFace{nullptr, PLAIN_BACKGROUND, nullptr, nullptr, PLACEHOLDER_NORMAL};
}

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

// Draws no white, so a placeholder mask keeps the whole window.
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

// NULL when the library cannot be loaded.
HMODULE LoadSkinLibrary() {
    char szPath[MAX_PATH] = "";
    if (GetModuleFileNameA(nullptr, szPath, MAX_PATH) == 0) {
        return nullptr;
    }
    char szDrive[_MAX_DRIVE] = "";
    char szDir[_MAX_DIR] = "";
    _splitpath(szPath, szDrive, szDir, nullptr, nullptr);

    CString strFolder(szDrive);
    strFolder += szDir;
    CString strLibrary;
    strLibrary.Format("%sskins\\ridozuveza.dll", (LPCTSTR)strFolder);
    return LoadLibraryA(strLibrary);
}

// The mask's size, so that the placeholder fills the window the mask outlines, but never
// smaller than the size every screen's buttons need.
SIZE PlaceholderSize() {
    SIZE size = {PLACEHOLDER_WIDTH, PLACEHOLDER_HEIGHT};
    HMODULE hSkin = LoadSkinLibrary();
    HBITMAP hMask = hSkin ? LoadBitmapA(hSkin, MAKEINTRESOURCE(SKIN_MASK_ID)) : nullptr;
    BITMAP bm = {};
    if (hMask && GetObjectA(hMask, sizeof(BITMAP), &bm)) {
        size.cx = std::max<LONG>(size.cx, bm.bmWidth);
        size.cy = std::max<LONG>(size.cy, bm.bmHeight);
    }
    if (hMask) {
        DeleteObject(hMask);
    }
    return size;
}

// The way out when a picture is missing: a placeholder of the picture's screen, and its size.
// Writes nothing to the debugger.
void UseSkinPlaceholder(LPCTSTR lpszResourceName, CBitmap* pBitmap, SIZE* pSize) {
    const SIZE size = PlaceholderSize();
    if (pSize) {
        *pSize = size;
    }
    if (!pBitmap) {
        return;
    }
    pBitmap->DeleteObject();
    // A bare memory DC holds a monochrome bitmap; the screen's DC gives the display's colours.
    CClientDC dcScreen(nullptr);
    CDC dc;
    if (!dcScreen.GetSafeHdc() || !dc.CreateCompatibleDC(&dcScreen) ||
        !pBitmap->CreateCompatibleBitmap(&dcScreen, size.cx, size.cy)) {
        return;
    }
    const WORD wId = lpszResourceName ? static_cast<WORD>(atoi(lpszResourceName)) : 0;
    CBitmap* pOld = dc.SelectObject(pBitmap);
    DrawPlaceholderFace(&dc, size, FindPlaceholderFace(wId));
    dc.SelectObject(pOld);
}

void ReportSkinSize(CBitmap* pBitmap, SIZE* pSize) {
    BITMAP bm = {};
    pBitmap->GetBitmap(&bm);
    pSize->cx = bm.bmWidth;
    pSize->cy = bm.bmHeight;
}

// Copies the resource into a movable block that the stream frees when released.
IStream* StreamOverCopy(LPCVOID pData, DWORD dwSize) {
    HGLOBAL hBuffer = GlobalAlloc(GMEM_MOVEABLE, dwSize);
    if (!hBuffer) {
        return nullptr;
    }
    LPVOID pBuffer = GlobalLock(hBuffer);
    if (!pBuffer) {
        GlobalFree(hBuffer);
        return nullptr;
    }
    std::memcpy(pBuffer, pData, dwSize);
    GlobalUnlock(hBuffer);
    IStream* pStream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(hBuffer, TRUE, &pStream))) {
        GlobalFree(hBuffer);
        return nullptr;
    }
    return pStream;
}

} // namespace

void LoadSkinJpeg(LPCTSTR lpszResourceName, CBitmap* pBitmap, SIZE* pSize) {
    if (!lpszResourceName || !pBitmap || !pSize) {
        UseSkinPlaceholder(lpszResourceName, pBitmap, pSize);
        return;
    }
    HMODULE hSkin = LoadSkinLibrary();
    const int nId = atoi(lpszResourceName);
    HRSRC hResource = hSkin ? FindResourceA(hSkin, MAKEINTRESOURCE(nId), "jpgs") : nullptr;
    const DWORD dwSize = hResource ? SizeofResource(hSkin, hResource) : 0;
    HGLOBAL hData = hResource ? LoadResource(hSkin, hResource) : nullptr;
    LPVOID pData = hData ? LockResource(hData) : nullptr;
    IStream* pStream = pData && dwSize ? StreamOverCopy(pData, dwSize) : nullptr;
    if (!pStream) {
        UseSkinPlaceholder(lpszResourceName, pBitmap, pSize);
        return;
    }

    IPicture* pPicture = nullptr;
    const HRESULT hr = OleLoadPicture(pStream, static_cast<LONG>(dwSize), FALSE, IID_IPicture,
                                      reinterpret_cast<LPVOID*>(&pPicture));
    pStream->Release();
    OLE_HANDLE hPicture = 0;
    if (FAILED(hr) || !pPicture || FAILED(pPicture->get_Handle(&hPicture))) {
        UseSkinPlaceholder(lpszResourceName, pBitmap, pSize);
        return;
    }

    // The picture keeps owning the handle and is never released: releasing it would delete
    // the bitmap the target now holds.
    pBitmap->DeleteObject();
    pBitmap->Attach(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(hPicture)));
    ReportSkinSize(pBitmap, pSize);
}

void LoadSkinBitmap(LPCTSTR lpszResourceName, CBitmap* pBitmap, SIZE* pSize) {
    if (!lpszResourceName || !pBitmap || !pSize) {
        UseSkinPlaceholder(lpszResourceName, pBitmap, pSize);
        return;
    }
    HMODULE hSkin = LoadSkinLibrary();
    const int nId = atoi(lpszResourceName);
    HBITMAP hBitmap = hSkin ? LoadBitmapA(hSkin, MAKEINTRESOURCE(nId)) : nullptr;
    if (!hBitmap) {
        UseSkinPlaceholder(lpszResourceName, pBitmap, pSize);
        return;
    }
    // Callers pass an empty target; one that is not would otherwise lose its bitmap.
    pBitmap->DeleteObject();
    pBitmap->Attach(hBitmap);
    ReportSkinSize(pBitmap, pSize);
}
