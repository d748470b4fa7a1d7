// MFC's size: a SIZE with constructors and comparison.
#pragma once

#include "platform/wintypes.h"

class CSize : public SIZE {
public:
    // Members are set in the body, as in CPoint, so the static analyzer can follow them.
    CSize() : SIZE() {}
    CSize(int initCX, int initCY) : SIZE() {
        cx = initCX;
        cy = initCY;
    }
    CSize(SIZE initSize) : SIZE(initSize) {}

    bool operator==(SIZE size) const { return cx == size.cx && cy == size.cy; }
    bool operator!=(SIZE size) const { return !(*this == size); }
    CSize operator+(SIZE size) const { return CSize(cx + size.cx, cy + size.cy); }
    CSize operator-(SIZE size) const { return CSize(cx - size.cx, cy - size.cy); }
};
