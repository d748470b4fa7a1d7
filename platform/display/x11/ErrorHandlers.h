// Process-wide Xlib error handling. Protocol errors are logged, never fatal: one bad request
// must not end the updater. A lost connection ends the program with a message instead of
// leaving it blocked on a dead socket.
#pragma once

#include "XlibHeaders.h"

namespace platform::display::x11 {

// Installs both handlers once per process.
void InstallErrorHandlers();

// True once the connection to the X server broke; nothing may be sent after that.
bool ConnectionLost();

// Collects protocol errors of the requests made during its lifetime instead of logging them,
// for requests that may fail harmlessly (a window that vanished, a property that is absent).
class ScopedErrorTrap {
public:
    explicit ScopedErrorTrap(Display* display);
    ~ScopedErrorTrap();
    ScopedErrorTrap(const ScopedErrorTrap&) = delete;
    ScopedErrorTrap& operator=(const ScopedErrorTrap&) = delete;

    // Waits for the server's answer to every request so far; true when one of them failed.
    bool Failed();

private:
    Display* display_;
    bool previousActive_;
    bool previousFailed_;
};

} // namespace platform::display::x11
