// Drives the pointer and keyboard through the XTEST extension, as a user would. Keys are
// named by keysym names: "Escape", "Return", "space", "Tab", "Alt_L", "a", "1", "Left".
// Every call waits until the server has handled the input.
#pragma once

#include "XSession.h"

#include <initializer_list>
#include <string>

namespace nerith::testing {

class XTestDriver {
public:
    // Check Available() before use: the server may lack XTEST.
    explicit XTestDriver(XSession& session);
    bool Available() const { return available_; }

    void MovePointer(POINT screen);
    void ButtonDown(int button = 1);
    void ButtonUp(int button = 1);
    void Click(POINT screen, int button = 1);
    // Presses the button at `from`, moves in steps to `to`, releases there.
    void Drag(POINT from, POINT to, int button = 1, int steps = 8);

    // False when the keymap has no key for the name.
    bool KeyDown(const std::string& keysym);
    bool KeyUp(const std::string& keysym);
    bool TapKey(const std::string& keysym);
    // Holds the keys in order, then releases them in reverse: {"Alt_L", "space"}.
    bool Chord(std::initializer_list<std::string> keysyms);

private:
    bool Key(const std::string& keysym, bool down);
    XSession& session_;
    bool available_ = false;
};

} // namespace nerith::testing
