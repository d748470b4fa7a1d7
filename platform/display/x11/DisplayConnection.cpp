#include "DisplayConnection.h"

#include "ErrorHandlers.h"

#include <cstdio>
#include <cstdlib>

namespace platform::display::x11 {

std::unique_ptr<DisplayConnection> DisplayConnection::Open(const char* name) {
    InstallErrorHandlers();
    Display* display = XOpenDisplay(name);
    if (display == nullptr) {
        const char* shown = name != nullptr ? name : std::getenv("DISPLAY");
        std::fprintf(stderr, "nerith: cannot open the X display \"%s\"\n",
                     shown != nullptr ? shown : "");
        return nullptr;
    }
    return std::unique_ptr<DisplayConnection>(new DisplayConnection(display));
}

DisplayConnection::~DisplayConnection() {
    // After a broken connection any call would re-enter the error handler.
    if (!ConnectionLost()) {
        XCloseDisplay(display_);
    }
}

} // namespace platform::display::x11
