// Reads format-32 properties (atoms, cardinals, windows) of any window, also of windows
// that belong to other clients and may be gone.
#pragma once

#include "XlibHeaders.h"

#include <vector>

namespace platform::display::x11 {

// Empty when the window or the property is missing or has another type or format.
std::vector<unsigned long> ReadProperty32(Display* display, Window window, Atom property,
                                          Atom type);

} // namespace platform::display::x11
