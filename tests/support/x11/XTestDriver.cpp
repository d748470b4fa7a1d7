#include "XTestDriver.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <vector>

namespace nerith::testing {

XTestDriver::XTestDriver(XSession& session) : session_(session) {
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    available_ =
        XTestQueryExtension(session_.display(), &eventBase, &errorBase, &major, &minor) != 0;
}

void XTestDriver::MovePointer(POINT screen) {
    XTestFakeMotionEvent(session_.display(), DefaultScreen(session_.display()), screen.x, screen.y,
                         CurrentTime);
    session_.Sync();
}

void XTestDriver::ButtonDown(int button) {
    XTestFakeButtonEvent(session_.display(), static_cast<unsigned>(button), True, CurrentTime);
    session_.Sync();
}

void XTestDriver::ButtonUp(int button) {
    XTestFakeButtonEvent(session_.display(), static_cast<unsigned>(button), False, CurrentTime);
    session_.Sync();
}

void XTestDriver::Click(POINT screen, int button) {
    MovePointer(screen);
    ButtonDown(button);
    ButtonUp(button);
}

void XTestDriver::Drag(POINT from, POINT to, int button, int steps) {
    MovePointer(from);
    ButtonDown(button);
    const int count = steps > 0 ? steps : 1;
    for (int i = 1; i <= count; ++i) {
        MovePointer(
            POINT{from.x + (to.x - from.x) * i / count, from.y + (to.y - from.y) * i / count});
    }
    ButtonUp(button);
}

bool XTestDriver::Key(const std::string& keysym, bool down) {
    const KeySym sym = XStringToKeysym(keysym.c_str());
    if (sym == NoSymbol) {
        return false;
    }
    const KeyCode code = XKeysymToKeycode(session_.display(), sym);
    if (code == 0) {
        return false;
    }
    XTestFakeKeyEvent(session_.display(), code, down ? True : False, CurrentTime);
    session_.Sync();
    return true;
}

bool XTestDriver::KeyDown(const std::string& keysym) {
    return Key(keysym, true);
}
bool XTestDriver::KeyUp(const std::string& keysym) {
    return Key(keysym, false);
}

bool XTestDriver::TapKey(const std::string& keysym) {
    return KeyDown(keysym) && KeyUp(keysym);
}

bool XTestDriver::Chord(std::initializer_list<std::string> keysyms) {
    std::vector<std::string> held;
    bool ok = true;
    for (const auto& key : keysyms) {
        if (!KeyDown(key)) {
            ok = false;
            break;
        }
        held.push_back(key);
    }
    for (auto it = held.rbegin(); it != held.rend(); ++it) {
        KeyUp(*it);
    }
    return ok;
}

} // namespace nerith::testing
