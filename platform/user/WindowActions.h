// The modal tracking the window system does on a window's behalf: moving it with the mouse
// and showing its system menu.
#pragma once

#include "platform/user32.h"

namespace platform::user {

// Follows the mouse until the left button is released (Esc puts the window back). Asks the
// display to do the move first; tracks the pointer itself when the display declines.
void TrackMove(HWND hwnd);
// Shows the window's system menu below its top-left corner and runs it; a choice is posted
// to the window as WM_SYSCOMMAND.
void TrackSystemMenu(HWND hwnd);

} // namespace platform::user
