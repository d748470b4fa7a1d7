// Window hooks: the chains that SetWindowsHookExA builds, called on the thread they watch.
#pragma once

#include "platform/user32.h"

namespace platform::user {

// Calls the thread's hooks of this kind, newest first, then the process-wide ones; each one
// passes on with CallNextHookEx. Returns the first hook's answer, 0 when there is none.
LRESULT CallHooks(int idHook, int code, WPARAM wParam, LPARAM lParam);

} // namespace platform::user
