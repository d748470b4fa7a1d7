// MFC's point: a POINT with constructors and the arithmetic the framework's users rely on.
#pragma once

#include "platform/wintypes.h"

class CSize;

class CPoint : public POINT {
public:
    // Members are set in the body: the static analyzer loses track of a base initialized from
    // a braced list and then reports the point as uninitialized.
    CPoint() : POINT() {}
    CPoint(int initX, int initY) : POINT() {
        x = initX;
        y = initY;
    }
    CPoint(POINT initPt) : POINT(initPt) {}
    // MFC unpacks a message's lParam this way: x in the low word, y in the high word, signed.
    explicit CPoint(LPARAM dwPoint)
        : CPoint(static_cast<short>(LOWORD(dwPoint)), static_cast<short>(HIWORD(dwPoint))) {}

    void Offset(int xOffset, int yOffset) {
        x += xOffset;
        y += yOffset;
    }
    bool operator==(POINT point) const { return x == point.x && y == point.y; }
    bool operator!=(POINT point) const { return !(*this == point); }
    CPoint operator+(POINT point) const { return CPoint(x + point.x, y + point.y); }
    CPoint operator-(POINT point) const { return CPoint(x - point.x, y - point.y); }
    CPoint operator-() const { return CPoint(-x, -y); }
    void operator+=(POINT point) { Offset(point.x, point.y); }
    void operator-=(POINT point) { Offset(-point.x, -point.y); }
};
