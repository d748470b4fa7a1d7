// Hands a window move to the window manager, which then follows the pointer itself.
#pragma once

#include "Atoms.h"
#include "platform/wintypes.h"

namespace platform::display::x11 {

// False when no window manager offers _NET_WM_MOVERESIZE or the button is not 1-3; the
// caller then moves the window by following the pointer.
bool StartWindowManagerMove(Display* display, const Atoms& atoms, Window root, Window window,
                            POINT screen, int button);

} // namespace platform::display::x11
