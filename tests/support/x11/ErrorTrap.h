// Catches the X errors of a few requests instead of letting Xlib's default handler end the
// test process. Restores whatever handler was there before (the backend's, in-process).
#pragma once

#include <X11/Xlib.h>

namespace nerith::testing {

class ErrorTrap {
public:
    explicit ErrorTrap(Display* display);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    bool Failed();

private:
    Display* display_;
    XErrorHandler previous_;
};

} // namespace nerith::testing
