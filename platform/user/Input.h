// Turning display events into input messages, and the input state they depend on.
#pragma once

#include "display/display.h"
#include "platform/user32.h"

namespace platform::user {

// Routes one display event into the input queue of this thread (or acts on it at once:
// close requests, exposure, moves by the window manager).
void RouteEvent(const display::InputEvent& event);
// Routes display events already waiting until one becomes an input message; never blocks.
void DrainDisplay();
// Waits up to timeoutMs (-1: no limit) for a display event or a wake-up and routes it.
void WaitForDisplay(int timeoutMs);
// Takes the next input message of this thread, waiting up to timeoutMs for one. Used by the
// loops that own the mouse for a while (window move, popup menu).
bool TakeInputMessage(MSG& msg, int timeoutMs);
// Records a retrieved input message in the thread's key state (GetKeyState).
void NoteRetrieved(const MSG& msg);
// Gives up capture and focus held by hwnd or its children (hide, disable, destroy).
void ReleaseInputFrom(HWND hwnd);
HWND WindowOfNative(display::NativeId id);
// The innermost visible, enabled window under the screen point, starting at a top-level one.
HWND DeepestWindowAt(HWND top, POINT screen);
bool MouseButtonDown(int button);

} // namespace platform::user
