#include "display/display.h"
#include "display/headless/HeadlessBackend.h"

#ifdef NERITH_HAVE_X11
#include "display/x11/X11Backend.h"
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform::display {

namespace {

constexpr int kHeadlessWidth = 1280;
constexpr int kHeadlessHeight = 1024;

bool IsSet(const char* value) {
    return value && *value;
}

std::unique_ptr<Backend> CreateX11() {
#ifdef NERITH_HAVE_X11
    if (auto backend = CreateX11Backend()) {
        return backend;
    }
    std::fprintf(stderr, "nerith: cannot open the X display \"%s\"\n", std::getenv("DISPLAY"));
#else
    std::fprintf(stderr, "nerith: this build has no X11 display support\n");
#endif
    return nullptr;
}

} // namespace

std::unique_ptr<Backend> CreateBackend() {
    const char* choice = std::getenv("NERITH_DISPLAY");
    if (IsSet(choice) && std::strcmp(choice, "headless") == 0) {
        return std::make_unique<HeadlessBackend>(kHeadlessWidth, kHeadlessHeight);
    }
    if (IsSet(choice) && std::strcmp(choice, "x11") != 0) {
        std::fprintf(stderr, "nerith: NERITH_DISPLAY=%s is not a display (use headless or x11)\n",
                     choice);
        return nullptr;
    }
    if (IsSet(std::getenv("DISPLAY"))) {
        return CreateX11();
    }
    std::fprintf(stderr, "nerith: no display: set DISPLAY to an X server, or NERITH_DISPLAY="
                         "headless for the in-memory screen\n");
    return nullptr;
}

// Never destroyed: windows still open at exit are torn down by static destructors that may
// run after this one, and they must still find their display.
Backend* CurrentBackend() {
    static Backend* const backend = CreateBackend().release();
    return backend;
}

} // namespace platform::display
