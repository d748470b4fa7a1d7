#include "EventSource.h"

#include <X11/XKBlib.h>
#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform::display::x11 {

namespace {

int MillisecondsUntil(const EventSource::Deadline& deadline) {
    if (!deadline) {
        return -1;
    }
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

EventSource::EventSource(Display* display)
    : display_(display), wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    XkbSetDetectableAutoRepeat(display_, True, nullptr);
}

EventSource::~EventSource() {
    if (wakeFd_ >= 0) {
        close(wakeFd_);
    }
}

void EventSource::Wake() {
    if (wakeFd_ < 0) {
        return;
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(wakeFd_, &one, sizeof one);
}

EventSource::Deadline EventSource::DeadlineIn(int timeoutMs) {
    if (timeoutMs < 0) {
        return std::nullopt;
    }
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
}

bool EventSource::WaitReadable(Deadline deadline) {
    for (;;) {
        pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        const int ready = poll(fds, wakeFd_ >= 0 ? 2 : 1, MillisecondsUntil(deadline));
        if (ready == 0) {
            return false;
        }
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return true; // let Xlib meet the broken socket and report it
        }
        if (fds[1].revents & POLLIN) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t got = read(wakeFd_, &count, sizeof count);
            return false;
        }
        return true;
    }
}

bool EventSource::Next(XEvent& event, Deadline deadline) {
    // XPending also flushes our requests, so the server sees them before we sleep.
    while (XPending(display_) == 0) {
        if (!WaitReadable(deadline)) {
            return false;
        }
    }
    XNextEvent(display_, &event);
    FoldMotion(event);
    return true;
}

void EventSource::FoldMotion(XEvent& event) {
    while (event.type == MotionNotify && XEventsQueued(display_, QueuedAlready) > 0) {
        XEvent next;
        XPeekEvent(display_, &next);
        if (next.type != MotionNotify || next.xmotion.window != event.xmotion.window) {
            return;
        }
        XNextEvent(display_, &event);
    }
}

} // namespace platform::display::x11
