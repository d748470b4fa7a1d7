#include "MoveDrag.h"

#include "WindowManager.h"

namespace platform::display::x11 {

namespace {

constexpr long kMoveResizeMove = 8;
constexpr long kSourceApplication = 1;

} // namespace

bool StartWindowManagerMove(Display* display, const Atoms& atoms, Window root, Window window,
                            POINT screen, int button) {
    if (button < 1 || button > 3) {
        return false;
    }
    if (!WindowManagerSupports(display, atoms, root, atoms.netWmMoveResize)) {
        return false;
    }
    // The press that started the drag holds an implicit grab; the window manager can only
    // take the pointer once it is released.
    XUngrabPointer(display, CurrentTime);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = atoms.netWmMoveResize;
    event.xclient.format = 32;
    event.xclient.data.l[0] = screen.x;
    event.xclient.data.l[1] = screen.y;
    event.xclient.data.l[2] = kMoveResizeMove;
    event.xclient.data.l[3] = button;
    event.xclient.data.l[4] = kSourceApplication;
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
    return true;
}

} // namespace platform::display::x11
