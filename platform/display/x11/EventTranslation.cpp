#include "EventTranslation.h"

#include "KeyMap.h"

namespace platform::display::x11 {

namespace {

bool TranslateMotion(const XMotionEvent& motion, InputEvent& out) {
    out.type = EventType::MouseMove;
    out.screen = POINT{motion.x_root, motion.y_root};
    out.modifiers = ModifiersFromState(motion.state);
    return true;
}

// Leaving the window is reported as a move to where the pointer went, so a window that holds
// the capture learns that the pointer is no longer over it.
bool TranslateLeave(const XCrossingEvent& crossing, InputEvent& out) {
    if (crossing.mode != NotifyNormal || crossing.detail == NotifyInferior) {
        return false;
    }
    out.type = EventType::MouseMove;
    out.screen = POINT{crossing.x_root, crossing.y_root};
    out.modifiers = ModifiersFromState(crossing.state);
    return true;
}

bool TranslateButton(const XButtonEvent& button, InputEvent& out) {
    const UINT flag = ModifierOfButton(button.button);
    if (flag == 0) {
        return false;
    }
    const bool down = button.type == ButtonPress;
    out.type = down ? EventType::ButtonDown : EventType::ButtonUp;
    out.screen = POINT{button.x_root, button.y_root};
    out.button = static_cast<int>(button.button);
    const UINT before = ModifiersFromState(button.state);
    out.modifiers = down ? (before | flag) : (before & ~flag);
    return true;
}

bool TranslateKey(XKeyEvent key, InputEvent& out) {
    // The unshifted symbol: Windows names a key, not the character it makes.
    const UINT code = VirtualKeyFromKeysym(XLookupKeysym(&key, 0));
    if (code == 0) {
        return false;
    }
    const bool down = key.type == KeyPress;
    out.type = down ? EventType::KeyDown : EventType::KeyUp;
    out.vk = code;
    out.screen = POINT{key.x_root, key.y_root};
    const UINT before = ModifiersFromState(key.state);
    const UINT own = ModifierOfVirtualKey(code);
    out.modifiers = down ? (before | own) : (before & ~own);
    return true;
}

bool HasFocusNow(Display* display, Window window) {
    Window focus = 0;
    int revertTo = 0;
    XGetInputFocus(display, &focus, &revertTo);
    return focus == window;
}

bool TranslateFocus(const TranslationContext& context, const XFocusChangeEvent& focus,
                    InputEvent& out) {
    if (focus.mode == NotifyGrab || focus.mode == NotifyUngrab) {
        return false;
    }
    if (focus.detail == NotifyInferior || focus.detail == NotifyPointer) {
        return false;
    }
    // A focus the program has moved on from since is old news: acting on it would activate
    // that window again and hand the focus back and forth between two windows.
    if (focus.type == kFocusInEvent && !HasFocusNow(context.display, focus.window)) {
        return false;
    }
    out.type = focus.type == kFocusInEvent ? EventType::FocusIn : EventType::FocusOut;
    return true;
}

bool TranslateClientMessage(const XClientMessageEvent& message, const Atoms& atoms,
                            InputEvent& out) {
    if (message.message_type != atoms.wmProtocols || message.format != 32) {
        return false;
    }
    if (static_cast<Atom>(message.data.l[0]) != atoms.wmDeleteWindow) {
        return false;
    }
    out.type = EventType::CloseRequest;
    return true;
}

bool TranslateExpose(const XExposeEvent& expose, NativeWindow& window, InputEvent& out) {
    const RECT& at = window.rect();
    window.AddExposed(RECT{at.left + expose.x, at.top + expose.y, at.left + expose.x + expose.width,
                           at.top + expose.y + expose.height});
    if (expose.count > 0) {
        return false;
    }
    out.type = EventType::Expose;
    out.screenRect = *window.TakeExposed();
    return true;
}

// Where the window's top-left corner is on the screen; a reparenting window manager reports
// real configure events relative to its frame, synthetic ones relative to the root.
POINT ScreenOrigin(const TranslationContext& context, const XConfigureEvent& configure) {
    if (configure.send_event) {
        return POINT{configure.x, configure.y};
    }
    int x = configure.x;
    int y = configure.y;
    Window child = 0;
    XTranslateCoordinates(context.display, configure.window, context.root, 0, 0, &x, &y, &child);
    return POINT{x, y};
}

bool TranslateConfigure(const TranslationContext& context, const XConfigureEvent& configure,
                        NativeWindow& window, InputEvent& out) {
    const POINT origin = ScreenOrigin(context, configure);
    const RECT now{origin.x, origin.y, origin.x + configure.width, origin.y + configure.height};
    const RECT& known = window.rect();
    if (now.left == known.left && now.top == known.top && now.right == known.right &&
        now.bottom == known.bottom) {
        return false;
    }
    window.set_rect(now);
    out.type = EventType::Moved;
    out.screenRect = now;
    return true;
}

} // namespace

bool TranslateEvent(const TranslationContext& context, const XEvent& event, NativeWindow& window,
                    InputEvent& out) {
    out = InputEvent{};
    out.window = window.id();
    switch (event.type) {
    case MotionNotify:
        return TranslateMotion(event.xmotion, out);
    case LeaveNotify:
        return TranslateLeave(event.xcrossing, out);
    case ButtonPress:
    case ButtonRelease:
        return TranslateButton(event.xbutton, out);
    case KeyPress:
    case KeyRelease:
        return TranslateKey(event.xkey, out);
    case kFocusInEvent:
    case kFocusOutEvent:
        return TranslateFocus(context, event.xfocus, out);
    case ClientMessage:
        return TranslateClientMessage(event.xclient, context.atoms, out);
    case kExposeEvent:
        return TranslateExpose(event.xexpose, window, out);
    case ConfigureNotify:
        return TranslateConfigure(context, event.xconfigure, window, out);
    default:
        return false;
    }
}

} // namespace platform::display::x11
