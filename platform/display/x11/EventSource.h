// Delivers the X events of one connection, waiting on its socket without spinning.
#pragma once

#include "XlibHeaders.h"

#include <chrono>
#include <optional>

namespace platform::display::x11 {

class EventSource {
public:
    using Deadline = std::optional<std::chrono::steady_clock::time_point>;

    // Asks the server to send held keys as repeated presses without releases in between,
    // as Windows reports them.
    explicit EventSource(Display* display);
    ~EventSource();
    EventSource(const EventSource&) = delete;
    EventSource& operator=(const EventSource&) = delete;

    // The next event, with runs of pointer motion over one window folded into the last one.
    // False when the deadline (none: wait forever) passes first.
    bool Next(XEvent& event, Deadline deadline);

    static Deadline DeadlineIn(int timeoutMs);

    // Makes a Next waiting in another thread (or the next one to wait) return false at once.
    // Touches no Xlib state, so any thread may call it.
    void Wake();

private:
    bool WaitReadable(Deadline deadline);
    void FoldMotion(XEvent& event);

    Display* display_;
    int wakeFd_; // an eventfd; -1 if none could be made, and then Wake does nothing
};

} // namespace platform::display::x11
