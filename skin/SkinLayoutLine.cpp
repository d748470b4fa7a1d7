#include "SkinLayoutLine.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Copies at most size - 1 bytes and never the first part of a multi-byte UTF-8 character.
void CopyField(TCHAR* dest, int size, const CString& text) {
    int n = text.GetLength() < size - 1 ? text.GetLength() : size - 1;
    if (n < text.GetLength()) {
        while (n > 0 && (static_cast<unsigned char>(text.GetAt(n)) & 0xC0) == 0x80) {
            n--;
        }
    }
    std::memcpy(dest, static_cast<LPCTSTR>(text), static_cast<std::size_t>(n));
    dest[n] = '\0';
}

// One "%d": optional white space and sign, then at least one digit. Numbers outside 32 bits
// wrap instead of being undefined.
bool ScanInt(const char*& p, LONG& value) {
    char* end = nullptr;
    const long long v = std::strtoll(p, &end, 10);
    if (end == p || !std::isdigit(static_cast<unsigned char>(end[-1]))) {
        return false;
    }
    value = static_cast<LONG>(static_cast<std::uint32_t>(static_cast<unsigned long long>(v)));
    p = end;
    return true;
}

// The scan "%d,%d,%d,%d": stops at the first mismatch, leaving later fields untouched.
void ScanBounds(LPCTSTR text, RECT& rc) {
    LONG* fields[4] = {&rc.left, &rc.top, &rc.right, &rc.bottom};
    const char* p = text;
    for (int i = 0; i < 4; i++) {
        if (i > 0) {
            if (*p != ',') {
                return;
            }
            p++;
        }
        if (!ScanInt(p, *fields[i])) {
            return;
        }
    }
}

LONG WrappingAdd(LONG a, LONG b) {
    return static_cast<LONG>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

} // namespace

// The line comes by value: the parser works on a copy of its own.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
int ParseSkinLayoutLine(CString strLine, SkinLayoutLine* pLine) {
    if (!pLine) {
        return 1;
    }
    std::memset(pLine, 0, sizeof(SkinLayoutLine));

    const int nFirstComma = strLine.Find(',');
    if (nFirstComma >= 0) {
        CopyField(pLine->szName, sizeof(pLine->szName), strLine.Left(nFirstComma));
    }
    CString strRest = nFirstComma >= 0 ? strLine.Mid(nFirstComma + 1) : strLine;

    ScanBounds(strRest, pLine->rcBounds);
    pLine->rcBounds.right = WrappingAdd(pLine->rcBounds.right, pLine->rcBounds.left);
    pLine->rcBounds.bottom = WrappingAdd(pLine->rcBounds.bottom, pLine->rcBounds.top);

    const int nLastComma = strRest.ReverseFind(',');
    pLine->bPressed = strRest.Find("TRUE") >= 0 ? TRUE : FALSE;

    strRest = nLastComma >= 0 ? strRest.Left(nLastComma) : CString();
    const int nCaptionComma = strRest.ReverseFind(',');
    CopyField(pLine->szCaption, sizeof(pLine->szCaption),
              nCaptionComma >= 0 ? strRest.Mid(nCaptionComma + 1) : strRest);
    return 1;
}
