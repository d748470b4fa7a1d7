// MFC's rectangle: a RECT with the queries and adjustments the framework's users rely on.
// Like MFC's, it does not normalise: right and bottom are exclusive and may lie left of or
// above the origin.
#pragma once

#include "platform/afx/CPoint.h"
#include "platform/afx/CSize.h"
#include "platform/wintypes.h"

class CRect : public RECT {
public:
    // Members are set in the body, as in CPoint, so the static analyzer can follow them.
    CRect() : RECT() {}
    CRect(int l, int t, int r, int b) : RECT() {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    CRect(const RECT& srcRect) : RECT(srcRect) {}
    CRect(LPCRECT lpSrcRect) : RECT(*lpSrcRect) {}
    CRect(POINT point, SIZE size) : CRect(point.x, point.y, point.x + size.cx, point.y + size.cy) {}
    CRect(POINT topLeft, POINT bottomRight)
        : CRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y) {}

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    BOOL IsRectEmpty() const { return left >= right || top >= bottom; }
    BOOL IsRectNull() const { return left == 0 && right == 0 && top == 0 && bottom == 0; }
    BOOL PtInRect(POINT point) const {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }

    void SetRect(int x1, int y1, int x2, int y2) { *this = CRect(x1, y1, x2, y2); }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    void OffsetRect(int x, int y) {
        left += x;
        right += x;
        top += y;
        bottom += y;
    }
    void OffsetRect(POINT point) { OffsetRect(point.x, point.y); }
    void InflateRect(int x, int y) {
        left -= x;
        top -= y;
        right += x;
        bottom += y;
    }
    void DeflateRect(int x, int y) { InflateRect(-x, -y); }
    BOOL IntersectRect(LPCRECT a, LPCRECT b);
    BOOL UnionRect(LPCRECT a, LPCRECT b);

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
    bool operator==(const RECT& rect) const {
        return left == rect.left && top == rect.top && right == rect.right && bottom == rect.bottom;
    }
    bool operator!=(const RECT& rect) const { return !(*this == rect); }
};

inline BOOL CRect::IntersectRect(LPCRECT a, LPCRECT b) {
    const CRect r(a->left > b->left ? a->left : b->left, a->top > b->top ? a->top : b->top,
                  a->right < b->right ? a->right : b->right,
                  a->bottom < b->bottom ? a->bottom : b->bottom);
    if (r.IsRectEmpty()) {
        SetRectEmpty();
        return FALSE;
    }
    *this = r;
    return TRUE;
}

inline BOOL CRect::UnionRect(LPCRECT a, LPCRECT b) {
    const CRect ra(a);
    const CRect rb(b);
    if (ra.IsRectEmpty()) {
        *this = rb;
    } else if (rb.IsRectEmpty()) {
        *this = ra;
    } else {
        SetRect(ra.left < rb.left ? ra.left : rb.left, ra.top < rb.top ? ra.top : rb.top,
                ra.right > rb.right ? ra.right : rb.right,
                ra.bottom > rb.bottom ? ra.bottom : rb.bottom);
    }
    return !IsRectEmpty();
}
