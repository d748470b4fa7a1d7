#include "XSession.h"

#include "ErrorTrap.h"

#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
#include <thread>

namespace nerith::testing {

void WaitABit() {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

std::unique_ptr<XSession> XSession::Open(const std::string& displayName) {
    Display* display = XOpenDisplay(displayName.c_str());
    if (display == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<XSession>(new XSession(display));
}

XSession::~XSession() {
    XCloseDisplay(display_);
}

XId XSession::Root() const {
    return DefaultRootWindow(display_);
}

RECT XSession::ScreenRect() const {
    const int screen = DefaultScreen(display_);
    return RECT{0, 0, DisplayWidth(display_, screen), DisplayHeight(display_, screen)};
}

int XSession::Depth() const {
    return DefaultDepth(display_, DefaultScreen(display_));
}

void XSession::Sync() {
    XSync(display_, False);
}

std::optional<RECT> XSession::Geometry(XId window) {
    ErrorTrap trap(display_);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) == 0 || trap.Failed()) {
        return std::nullopt;
    }
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window, Root(), 0, 0, &x, &y, &child);
    if (trap.Failed()) {
        return std::nullopt;
    }
    return RECT{x, y, x + attributes.width, y + attributes.height};
}

bool XSession::IsMapped(XId window) {
    ErrorTrap trap(display_);
    XWindowAttributes attributes{};
    const Status ok = XGetWindowAttributes(display_, window, &attributes);
    return ok != 0 && !trap.Failed() && attributes.map_state == IsViewable;
}

bool XSession::IsOverrideRedirect(XId window) {
    ErrorTrap trap(display_);
    XWindowAttributes attributes{};
    const Status ok = XGetWindowAttributes(display_, window, &attributes);
    return ok != 0 && !trap.Failed() && attributes.override_redirect;
}

XId XSession::KeyboardFocus() {
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(display_, &focus, &revertTo);
    return focus;
}

std::optional<XId> XSession::TransientFor(XId window) {
    ErrorTrap trap(display_);
    Window owner = 0;
    if (XGetTransientForHint(display_, window, &owner) == 0 || trap.Failed()) {
        return std::nullopt;
    }
    return owner;
}

std::vector<RECT> XSession::ShapeRects(XId window, ShapeKind kind) {
    ErrorTrap trap(display_);
    int count = 0;
    int ordering = 0;
    XRectangle* rects = XShapeGetRectangles(
        display_, window, kind == ShapeKind::Bounding ? ShapeBounding : ShapeInput, &count,
        &ordering);
    std::vector<RECT> out;
    if (!trap.Failed()) {
        for (int i = 0; i < count; ++i) {
            out.push_back(RECT{rects[i].x, rects[i].y, rects[i].x + rects[i].width,
                               rects[i].y + rects[i].height});
        }
    }
    if (rects != nullptr) {
        XFree(rects);
    }
    return out;
}

void XSession::MoveWindow(XId window, POINT to) {
    ErrorTrap trap(display_);
    XMoveWindow(display_, window, to.x, to.y);
}

XId XSession::CreatePlainWindow(const RECT& rect, bool overrideRedirect) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = overrideRedirect ? True : False;
    const Window window = XCreateWindow(
        display_, Root(), rect.left, rect.top, static_cast<unsigned>(rect.right - rect.left),
        static_cast<unsigned>(rect.bottom - rect.top), 0, CopyFromParent, InputOutput,
        CopyFromParent, CWOverrideRedirect, &attributes);
    XSync(display_, False);
    return window;
}

void XSession::DestroyWindow(XId window) {
    ErrorTrap trap(display_);
    XDestroyWindow(display_, window);
}

void XSession::MapWindow(XId window) {
    ErrorTrap trap(display_);
    XMapRaised(display_, window);
}

void XSession::UnmapWindow(XId window) {
    ErrorTrap trap(display_);
    XUnmapWindow(display_, window);
}

void XSession::FillRect(XId window, const RECT& rect, std::uint32_t rgb) {
    ErrorTrap trap(display_);
    XColor colour{};
    colour.red = static_cast<unsigned short>(((rgb >> 16) & 0xFF) * 0x101);
    colour.green = static_cast<unsigned short>(((rgb >> 8) & 0xFF) * 0x101);
    colour.blue = static_cast<unsigned short>((rgb & 0xFF) * 0x101);
    if (XAllocColor(display_, DefaultColormap(display_, DefaultScreen(display_)), &colour) == 0) {
        return;
    }
    GC gc = XCreateGC(display_, window, 0, nullptr);
    XSetForeground(display_, gc, colour.pixel);
    XFillRectangle(display_, window, gc, rect.left, rect.top,
                   static_cast<unsigned>(rect.right - rect.left),
                   static_cast<unsigned>(rect.bottom - rect.top));
    XFreeGC(display_, gc);
}

bool XSession::SendClientMessage(XId window, const std::string& type,
                                 const std::array<long, 5>& data) {
    ErrorTrap trap(display_);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = InternAtom(type);
    event.xclient.format = 32;
    for (std::size_t i = 0; i < data.size(); ++i) {
        event.xclient.data.l[i] = data[i];
    }
    const Status sent = XSendEvent(display_, window, False, NoEventMask, &event);
    return sent != 0 && !trap.Failed();
}

void XSession::WatchRootMessages() {
    // Notify only: redirecting too would stop every other client's windows from mapping.
    XSelectInput(display_, Root(), SubstructureNotifyMask);
    XSync(display_, False);
}

std::optional<RootMessage> XSession::NextRootMessage(std::chrono::milliseconds timeout) {
    XEvent event{};
    const bool arrived =
        WaitFor([&] { return XCheckTypedEvent(display_, ClientMessage, &event) != 0; }, timeout);
    if (!arrived) {
        return std::nullopt;
    }
    RootMessage message;
    message.window = event.xclient.window;
    message.type = AtomName(event.xclient.message_type);
    for (std::size_t i = 0; i < message.data.size(); ++i) {
        message.data[i] = event.xclient.data.l[i];
    }
    return message;
}

} // namespace nerith::testing
