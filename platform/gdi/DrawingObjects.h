// Brushes and pens: plain records of what the caller asked for.
#pragma once

#include "GdiObject.h"
#include "platform/gdi32.h"

namespace platform::gdi {

class Brush : public GdiObject {
public:
    explicit Brush(const LOGBRUSH& log) : GdiObject(OBJ_BRUSH), log_(log) {}
    const LOGBRUSH& Log() const { return log_; }
    bool IsHollow() const { return log_.lbStyle == BS_NULL; }

private:
    LOGBRUSH log_;
};

class Pen : public GdiObject {
public:
    explicit Pen(const LOGPEN& log) : GdiObject(OBJ_PEN), log_(log) {}
    const LOGPEN& Log() const { return log_; }
    bool IsNull() const { return log_.lopnStyle == PS_NULL; }

private:
    LOGPEN log_;
};

} // namespace platform::gdi
