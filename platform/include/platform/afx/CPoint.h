// MFC's point: a POINT with constructors and the arithmetic the framework's users rely on.
#pragma once

#include "platform/wintypes.h"

class CSize;

class CPoint : public POINT {
public:
    CPoint() : POINT{0, 0} {}
    CPoint(int initX, int initY) : POINT{initX, initY} {}
    CPoint(POINT initPt) : POINT(initPt) {}
    // MFC unpacks a message's lParam this way: x in the low word, y in the high word, signed.
    explicit CPoint(LPARAM dwPoint)
        : POINT{static_cast<short>(LOWORD(dwPoint)), static_cast<short>(HIWORD(dwPoint))} {}

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
