#include "WorkArea.h"

#include "PropertyReader.h"

#include <algorithm>

namespace platform::display::x11 {

namespace {

std::size_t CurrentDesktop(Display* display, const Atoms& atoms, Window root) {
    const auto desktop = ReadProperty32(display, root, atoms.netCurrentDesktop, XA_CARDINAL);
    return desktop.size() == 1 ? desktop[0] : 0;
}

// Property values are 32-bit quantities; signed ones travel in their low 32 bits.
LONG Signed32(unsigned long value) {
    return static_cast<LONG>(static_cast<std::uint32_t>(value));
}

} // namespace

RECT ReadWorkArea(Display* display, const Atoms& atoms, int screen) {
    const RECT whole{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
    const Window root = RootWindow(display, screen);
    const auto areas = ReadProperty32(display, root, atoms.netWorkArea, XA_CARDINAL);
    const std::size_t desktop = CurrentDesktop(display, atoms, root);
    if (desktop >= areas.size() / 4) {
        return whole;
    }
    const auto* area = &areas[desktop * 4];
    const LONG x = Signed32(area[0]), y = Signed32(area[1]);
    const LONG width = Signed32(area[2]), height = Signed32(area[3]);
    if (width <= 0 || height <= 0) {
        return whole;
    }
    const RECT clipped{std::max(x, whole.left), std::max(y, whole.top),
                       static_cast<LONG>(std::min<long>(long{x} + width, whole.right)),
                       static_cast<LONG>(std::min<long>(long{y} + height, whole.bottom))};
    if (clipped.right <= clipped.left || clipped.bottom <= clipped.top) {
        return whole;
    }
    return clipped;
}

} // namespace platform::display::x11
