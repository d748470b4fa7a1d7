#include "WindowManager.h"

#include "PropertyReader.h"

#include <algorithm>

namespace platform::display::x11 {

namespace {

bool WindowManagerRuns(Display* display, const Atoms& atoms, Window root) {
    const auto check = ReadProperty32(display, root, atoms.netSupportingWmCheck, XA_WINDOW);
    if (check.size() != 1 || check[0] == 0) {
        return false;
    }
    const auto self = ReadProperty32(display, check[0], atoms.netSupportingWmCheck, XA_WINDOW);
    return self.size() == 1 && self[0] == check[0];
}

} // namespace

bool WindowManagerSupports(Display* display, const Atoms& atoms, Window root, Atom hint) {
    if (!WindowManagerRuns(display, atoms, root)) {
        return false;
    }
    const auto supported = ReadProperty32(display, root, atoms.netSupported, XA_ATOM);
    return std::find(supported.begin(), supported.end(), hint) != supported.end();
}

} // namespace platform::display::x11
