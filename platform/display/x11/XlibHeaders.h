// Xlib's headers define short macro names (Expose, FocusIn, FocusOut) that collide with the
// display interface's enumerators. Code of this backend includes Xlib only through this file,
// which keeps the values under other names and removes the macros.
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>

namespace platform::display::x11 {

inline constexpr int kExposeEvent = Expose;
inline constexpr int kFocusInEvent = FocusIn;
inline constexpr int kFocusOutEvent = FocusOut;

} // namespace platform::display::x11

#undef Expose
#undef FocusIn
#undef FocusOut
