#include "EventSource.h"

#include <X11/XKBlib.h>
#include <cerrno>
#include <poll.h>

namespace platform::display::x11 {

namespace {

int MillisecondsUntil(const EventSource::Deadline& deadline) {
    if (!deadline)
        return -1;
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

EventSource::EventSource(Display* display) : display_(display) {
    XkbSetDetectableAutoRepeat(display_, True, nullptr);
}

EventSource::Deadline EventSource::DeadlineIn(int timeoutMs) {
    if (timeoutMs < 0)
        return std::nullopt;
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
}

bool EventSource::WaitReadable(Deadline deadline) {
    for (;;) {
        const int timeout = MillisecondsUntil(deadline);
        pollfd socket{ConnectionNumber(display_), POLLIN, 0};
        const int ready = poll(&socket, 1, timeout);
        if (ready > 0)
            return true;
        if (ready == 0)
            return false;
        if (errno != EINTR)
            return true; // let Xlib meet the broken socket and report it
    }
}

bool EventSource::Next(XEvent& event, Deadline deadline) {
    // XPending also flushes our requests, so the server sees them before we sleep.
    while (XPending(display_) == 0) {
        if (!WaitReadable(deadline))
            return false;
    }
    XNextEvent(display_, &event);
    FoldMotion(event);
    return true;
}

void EventSource::FoldMotion(XEvent& event) {
    while (event.type == MotionNotify && XEventsQueued(display_, QueuedAlready) > 0) {
        XEvent next;
        XPeekEvent(display_, &next);
        if (next.type != MotionNotify || next.xmotion.window != event.xmotion.window)
            return;
        XNextEvent(display_, &event);
    }
}

} // namespace platform::display::x11
