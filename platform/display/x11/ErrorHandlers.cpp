#include "ErrorHandlers.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <utility>

namespace platform::display::x11 {

namespace {

// Xlib's handlers are process-wide, so their state is too.
ScopedErrorTrap* g_innermostTrap = nullptr;
std::atomic<bool> g_connectionLost{false};
std::mutex g_logMutex;
std::set<std::pair<int, int>> g_loggedErrors;
constexpr std::size_t kMaxLoggedKinds = 32;

bool FirstOfItsKind(const XErrorEvent& error) {
    std::lock_guard lock(g_logMutex);
    if (g_loggedErrors.size() >= kMaxLoggedKinds) {
        return false;
    }
    return g_loggedErrors.emplace(error.request_code, error.error_code).second;
}

int OnProtocolError(Display* display, XErrorEvent* error) {
    if (ScopedErrorTrap::Take(error->serial)) {
        return 0;
    }
    if (!FirstOfItsKind(*error)) {
        return 0;
    }
    char text[128] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "nerith: X error %s (request %d.%d, resource 0x%lx); continuing\n", text,
                 error->request_code, error->minor_code, error->resourceid);
    return 0;
}

// Xlib exits the process if this returns; ending here lets the message come first. A second
// call (from code that still touches the display while the program ends) ends it at once.
int OnConnectionLost(Display*) {
    if (g_connectionLost.exchange(true)) {
        std::_Exit(EXIT_FAILURE);
    }
    std::fputs("nerith: lost the connection to the X display; the program ends\n", stderr);
    std::fflush(stderr);
    std::exit(EXIT_FAILURE);
}

} // namespace

void InstallErrorHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        XSetErrorHandler(OnProtocolError);
        XSetIOErrorHandler(OnConnectionLost);
    });
}

bool ConnectionLost() {
    return g_connectionLost.load();
}

ScopedErrorTrap::ScopedErrorTrap(Display* display)
    : display_(display), firstSerial_(NextRequest(display)), outer_(g_innermostTrap) {
    g_innermostTrap = this;
}

ScopedErrorTrap::~ScopedErrorTrap() {
    AwaitAnswers();
    g_innermostTrap = outer_;
}

bool ScopedErrorTrap::Failed() {
    AwaitAnswers();
    return failed_;
}

bool ScopedErrorTrap::Take(unsigned long serial) {
    for (ScopedErrorTrap* trap = g_innermostTrap; trap != nullptr; trap = trap->outer_) {
        if (serial >= trap->firstSerial_) {
            trap->failed_ = true;
            return true;
        }
    }
    return false;
}

// Once the server has answered the last request sent, every error up to it has been handled.
void ScopedErrorTrap::AwaitAnswers() {
    if (LastKnownRequestProcessed(display_) + 1 < NextRequest(display_)) {
        XSync(display_, False);
    }
}

} // namespace platform::display::x11
