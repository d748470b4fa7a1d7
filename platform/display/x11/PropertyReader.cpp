#include "PropertyReader.h"

#include "ErrorHandlers.h"

namespace platform::display::x11 {

namespace {

// Plenty for the work areas of many desktops and for the list of supported hints.
constexpr long kMaxLongs = 4096;

} // namespace

std::vector<unsigned long> ReadProperty32(Display* display, Window window, Atom property,
                                          Atom type) {
    ScopedErrorTrap trap(display);
    Atom actualType = 0;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, kMaxLongs, False, type,
                                          &actualType, &actualFormat, &count, &remaining, &data);
    std::vector<unsigned long> values;
    if (status == Success && !trap.Failed() && actualType == type && actualFormat == 32 &&
        data != nullptr) {
        // Xlib widens each 32-bit value to a sign-extended long.
        const auto* longs = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i < count; ++i) {
            values.push_back(longs[i] & 0xFFFFFFFFUL);
        }
    }
    if (data != nullptr) {
        XFree(data);
    }
    return values;
}

} // namespace platform::display::x11
