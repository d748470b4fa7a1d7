// Turns the X events of one backend window into the display interface's input events.
#pragma once

#include "Atoms.h"
#include "NativeWindow.h"

namespace platform::display::x11 {

struct TranslationContext {
    Display* display;
    Window root;
    const Atoms& atoms;
};

// False for events the window system has no use for (or that only update `window`).
// Pointer positions are screen coordinates; modifiers describe the state after the event,
// as in the Windows mouse and key messages.
bool TranslateEvent(const TranslationContext& context, const XEvent& event, NativeWindow& window,
                    InputEvent& out);

} // namespace platform::display::x11
