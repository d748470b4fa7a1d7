// Owns the connection to one X server.
#pragma once

#include "XlibHeaders.h"

#include <memory>

namespace platform::display::x11 {

class DisplayConnection {
public:
    // nullptr (with a message on standard error) when the server cannot be reached.
    // `name` nullptr means the DISPLAY environment variable.
    static std::unique_ptr<DisplayConnection> Open(const char* name);
    ~DisplayConnection();
    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;

    Display* get() const { return display_; }
    int Screen() const { return DefaultScreen(display_); }
    Window Root() const { return RootWindow(display_, Screen()); }

private:
    explicit DisplayConnection(Display* display) : display_(display) {}
    Display* display_;
};

} // namespace platform::display::x11
