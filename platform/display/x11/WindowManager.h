// What the running window manager, if any, offers.
#pragma once

#include "Atoms.h"

namespace platform::display::x11 {

// True when an EWMH window manager runs (its check window exists and names itself) and
// lists `hint` in _NET_SUPPORTED. Stale properties of a window manager that ended do not count.
bool WindowManagerSupports(Display* display, const Atoms& atoms, Window root, Atom hint);

} // namespace platform::display::x11
