#include "TextRenderer.h"

#include <cstring>

using namespace platform::gdi;

namespace {

std::shared_ptr<Font> SelectedFont(HDC hdc, std::shared_ptr<DeviceContext>& dc) {
    dc = FindDC(hdc);
    if (!dc) {
        return nullptr;
    }
    if (!dc->GetFont() || !dc->GetFont()->Open()) {
        SetLastError(ERROR_NOT_FOUND); // no face could be found for the DC's font
        return nullptr;
    }
    return dc->GetFont();
}

} // namespace

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf) {
    if (!lplf) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return NoThrow<HFONT>(nullptr, [&] {
        auto font = Font::Create(*lplf);
        return font ? static_cast<HFONT>(AddObject(std::move(font))) : nullptr;
    });
}

HFONT WINAPI CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                         DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                         DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality,
                         DWORD iPitchAndFamily, LPCSTR pszFaceName) {
    LOGFONTA log{};
    log.lfHeight = cHeight;
    log.lfWidth = cWidth;
    log.lfEscapement = cEscapement;
    log.lfOrientation = cOrientation;
    log.lfWeight = cWeight;
    log.lfItalic = static_cast<BYTE>(bItalic);
    log.lfUnderline = static_cast<BYTE>(bUnderline);
    log.lfStrikeOut = static_cast<BYTE>(bStrikeOut);
    log.lfCharSet = static_cast<BYTE>(iCharSet);
    log.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
    log.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
    log.lfQuality = static_cast<BYTE>(iQuality);
    log.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
    if (pszFaceName) {
        std::strncpy(log.lfFaceName, pszFaceName, LF_FACESIZE - 1);
    }
    return CreateFontIndirectA(&log);
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
    std::shared_ptr<DeviceContext> dc;
    auto font = SelectedFont(hdc, dc);
    if (!font || (!lpString && c > 0) || c < 0) {
        return FALSE;
    }
    return NoThrow<BOOL>(FALSE, [&] {
        DrawTextLine(*dc, *font, x, y, TextLine{DecodeText(lpString, c), {}}, nullptr);
        return TRUE;
    });
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
    std::shared_ptr<DeviceContext> dc;
    auto font = SelectedFont(hdc, dc);
    if (!font || !psizl || (!lpString && c > 0) || c < 0) {
        return FALSE;
    }
    return NoThrow<BOOL>(FALSE, [&] {
        psizl->cx = font->TextWidth(DecodeText(lpString, c));
        psizl->cy = font->Metrics().tmHeight;
        return TRUE;
    });
}

BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
    std::shared_ptr<DeviceContext> dc;
    auto font = SelectedFont(hdc, dc);
    if (!font || !lptm) {
        return FALSE;
    }
    *lptm = font->Metrics();
    return TRUE;
}
