#include "platform/user32.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
    if (!lprc) {
        return FALSE;
    }
    *lprc = RECT{xLeft, yTop, xRight, yBottom};
    return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT lprc) {
    return SetRect(lprc, 0, 0, 0, 0);
}

BOOL WINAPI CopyRect(LPRECT lprcDst, const RECT* lprcSrc) {
    if (!lprcDst || !lprcSrc) {
        return FALSE;
    }
    *lprcDst = *lprcSrc;
    return TRUE;
}

BOOL WINAPI IsRectEmpty(const RECT* lprc) {
    return !lprc || lprc->left >= lprc->right || lprc->top >= lprc->bottom;
}

BOOL WINAPI PtInRect(const RECT* lprc, POINT pt) {
    return lprc && pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top &&
           pt.y < lprc->bottom;
}

BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy) {
    if (!lprc) {
        return FALSE;
    }
    *lprc = RECT{lprc->left + dx, lprc->top + dy, lprc->right + dx, lprc->bottom + dy};
    return TRUE;
}

BOOL WINAPI InflateRect(LPRECT lprc, int dx, int dy) {
    if (!lprc) {
        return FALSE;
    }
    *lprc = RECT{lprc->left - dx, lprc->top - dy, lprc->right + dx, lprc->bottom + dy};
    return TRUE;
}

BOOL WINAPI IntersectRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
    if (!lprcDst || !lprcSrc1 || !lprcSrc2) {
        return FALSE;
    }
    const RECT r{std::max(lprcSrc1->left, lprcSrc2->left), std::max(lprcSrc1->top, lprcSrc2->top),
                 std::min(lprcSrc1->right, lprcSrc2->right),
                 std::min(lprcSrc1->bottom, lprcSrc2->bottom)};
    if (IsRectEmpty(&r)) {
        SetRectEmpty(lprcDst);
        return FALSE;
    }
    *lprcDst = r;
    return TRUE;
}

BOOL WINAPI UnionRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
    if (!lprcDst || !lprcSrc1 || !lprcSrc2) {
        return FALSE;
    }
    if (IsRectEmpty(lprcSrc1)) {
        *lprcDst = *lprcSrc2;
    } else if (IsRectEmpty(lprcSrc2)) {
        *lprcDst = *lprcSrc1;
    } else {
        *lprcDst =
            RECT{std::min(lprcSrc1->left, lprcSrc2->left), std::min(lprcSrc1->top, lprcSrc2->top),
                 std::max(lprcSrc1->right, lprcSrc2->right),
                 std::max(lprcSrc1->bottom, lprcSrc2->bottom)};
    }
    if (IsRectEmpty(lprcDst)) {
        SetRectEmpty(lprcDst);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI EqualRect(const RECT* lprc1, const RECT* lprc2) {
    return lprc1 && lprc2 && lprc1->left == lprc2->left && lprc1->top == lprc2->top &&
           lprc1->right == lprc2->right && lprc1->bottom == lprc2->bottom;
}

// Rounds half away from zero and answers -1 for a zero divisor or a result out of range,
// as Windows does; dialog units are converted with it.
int WINAPI MulDiv(int nNumber, int nNumerator, int nDenominator) {
    if (nDenominator == 0) {
        return -1;
    }
    const std::int64_t product = static_cast<std::int64_t>(nNumber) * nNumerator;
    const std::int64_t half = std::abs(static_cast<std::int64_t>(nDenominator)) / 2;
    const bool negative = (product < 0) != (nDenominator < 0);
    const std::int64_t magnitude = (std::llabs(product) + half) / std::llabs(nDenominator);
    const std::int64_t result = negative ? -magnitude : magnitude;
    if (result > INT32_MAX || result < INT32_MIN) {
        return -1;
    }
    return static_cast<int>(result);
}
