// The atoms this backend uses, interned in one round trip when the display is opened.
#pragma once

#include "XlibHeaders.h"

namespace platform::display::x11 {

struct Atoms {
    Atom wmProtocols = 0;
    Atom wmDeleteWindow = 0;
    Atom utf8String = 0;
    Atom netWmName = 0;
    Atom netWmIcon = 0;
    Atom netWmPid = 0;
    Atom netWmWindowType = 0;
    Atom typeNormal = 0;
    Atom typeDialog = 0;
    Atom typeTooltip = 0;
    Atom typePopupMenu = 0;
    Atom typeDropdownMenu = 0;
    Atom motifWmHints = 0;
    Atom netSupported = 0;
    Atom netSupportingWmCheck = 0;
    Atom netWmMoveResize = 0;
    Atom netWorkArea = 0;
    Atom netCurrentDesktop = 0;

    static Atoms Intern(Display* display);
};

} // namespace platform::display::x11
