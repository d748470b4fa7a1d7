#include "ErrorTrap.h"

namespace nerith::testing {

namespace {

bool g_failed = false;

int Record(Display*, XErrorEvent*) {
    g_failed = true;
    return 0;
}

} // namespace

ErrorTrap::ErrorTrap(Display* display) : display_(display) {
    XSync(display_, False);
    previous_ = XSetErrorHandler(Record);
    g_failed = false;
}

ErrorTrap::~ErrorTrap() {
    XSync(display_, False);
    XSetErrorHandler(previous_);
}

bool ErrorTrap::Failed() {
    XSync(display_, False);
    return g_failed;
}

} // namespace nerith::testing
