#include "Screenshot.h"

#include "ErrorTrap.h"

#include <X11/Xutil.h>
#include <algorithm>

namespace nerith::testing {

namespace {

struct Channel {
    unsigned long mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(unsigned long m) : mask(m) {
        if (mask == 0) {
            return;
        }
        while (((mask >> shift) & 1UL) == 0) {
            ++shift;
        }
        while (((mask >> (shift + bits)) & 1UL) != 0) {
            ++bits;
        }
    }
    // Widens to 8 bits by repeating the high bits, so full intensity stays 0xFF.
    std::uint32_t Extract(unsigned long pixel) const {
        if (bits == 0) {
            return 0;
        }
        const unsigned long value = (pixel & mask) >> shift;
        if (bits >= 8) {
            return static_cast<std::uint32_t>(value >> (bits - 8));
        }
        std::uint32_t wide = 0;
        for (int filled = 0; filled < 8; filled += bits) {
            wide = (wide << bits) | static_cast<std::uint32_t>(value);
        }
        const int total = ((8 + bits - 1) / bits) * bits;
        return wide >> (total - 8);
    }
};

Image Convert(XImage& ximage, const Visual& visual) {
    const Channel red(visual.red_mask), green(visual.green_mask), blue(visual.blue_mask);
    Image image(ximage.width, ximage.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const unsigned long pixel = XGetPixel(&ximage, x, y);
            image.Set(x, y,
                      red.Extract(pixel) << 16 | green.Extract(pixel) << 8 | blue.Extract(pixel));
        }
    }
    return image;
}

Image Capture(XSession& session, XId drawable, const Visual& visual, const RECT& area) {
    if (area.right <= area.left || area.bottom <= area.top) {
        return Image();
    }
    ErrorTrap trap(session.display());
    XImage* ximage = XGetImage(session.display(), drawable, area.left, area.top,
                               static_cast<unsigned>(area.right - area.left),
                               static_cast<unsigned>(area.bottom - area.top), AllPlanes, ZPixmap);
    if (ximage == nullptr || trap.Failed()) {
        if (ximage != nullptr) {
            XDestroyImage(ximage);
        }
        return Image();
    }
    Image image = Convert(*ximage, visual);
    XDestroyImage(ximage);
    return image;
}

} // namespace

Image CaptureScreen(XSession& session, const RECT& area) {
    const RECT screen = session.ScreenRect();
    const RECT clipped{std::max(area.left, screen.left), std::max(area.top, screen.top),
                       std::min(area.right, screen.right), std::min(area.bottom, screen.bottom)};
    Display* display = session.display();
    return Capture(session, session.Root(), *DefaultVisual(display, DefaultScreen(display)),
                   clipped);
}

Image CaptureScreen(XSession& session) {
    return CaptureScreen(session, session.ScreenRect());
}

Image CaptureWindow(XSession& session, XId window) {
    XWindowAttributes attributes{};
    {
        ErrorTrap trap(session.display());
        if (XGetWindowAttributes(session.display(), window, &attributes) == 0 || trap.Failed()) {
            return Image();
        }
    }
    return Capture(session, window, *attributes.visual,
                   RECT{0, 0, attributes.width, attributes.height});
}

} // namespace nerith::testing
