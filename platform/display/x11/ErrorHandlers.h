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
// Errors are told apart by the serial number of their request, so a trap waits for the server
// only when requests of its own are still unanswered: a round trip costs the most on a busy
// machine.
class ScopedErrorTrap {
public:
    explicit ScopedErrorTrap(Display* display);
    ~ScopedErrorTrap();
    ScopedErrorTrap(const ScopedErrorTrap&) = delete;
    ScopedErrorTrap& operator=(const ScopedErrorTrap&) = delete;

    // Waits for the server's answer to every request so far; true when one of them failed.
    bool Failed();
    // Takes an error of the request with this serial when it is one of this trap's or of a trap
    // around it; false when no trap made that request.
    static bool Take(unsigned long serial);

private:
    void AwaitAnswers();

    Display* display_;
    unsigned long firstSerial_;
    bool failed_ = false;
    ScopedErrorTrap* outer_;
};

} // namespace platform::display::x11
