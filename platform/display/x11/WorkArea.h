// The part of the screen that windows may use, without panels and docks.
#pragma once

#include "Atoms.h"
#include "platform/wintypes.h"

namespace platform::display::x11 {

// _NET_WORKAREA of the current desktop, clipped to the screen; the whole screen when the
// property is absent or describes nothing usable.
RECT ReadWorkArea(Display* display, const Atoms& atoms, int screen);

} // namespace platform::display::x11
