#include "VisualChoice.h"

#include "ErrorHandlers.h"

namespace platform::display::x11 {

std::unique_ptr<VisualChoice> VisualChoice::ForScreen(Display* display, int screen) {
    Visual* visual = DefaultVisual(display, screen);
    const int depth = DefaultDepth(display, screen);
    if (auto format = PixelFormat::ForVisual(*visual, depth)) {
        return std::unique_ptr<VisualChoice>(
            new VisualChoice(display, visual, DefaultColormap(display, screen), false, *format));
    }
    XVisualInfo info{};
    if (XMatchVisualInfo(display, screen, 24, TrueColor, &info) == 0) {
        return nullptr;
    }
    auto format = PixelFormat::ForVisual(*info.visual, info.depth);
    if (!format) {
        return nullptr;
    }
    Colormap colormap =
        XCreateColormap(display, RootWindow(display, screen), info.visual, AllocNone);
    return std::unique_ptr<VisualChoice>(
        new VisualChoice(display, info.visual, colormap, true, *format));
}

VisualChoice::~VisualChoice() {
    if (ownsColormap_ && !ConnectionLost()) {
        XFreeColormap(display_, colormap_);
    }
}

} // namespace platform::display::x11
