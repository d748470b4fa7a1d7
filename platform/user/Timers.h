// Window timers: due ones become WM_TIMER messages at the lowest priority, as on Windows.
#pragma once

#include "platform/user32.h"

namespace platform::user {

bool TakeDueTimer(MSG& msg, HWND filter, bool remove);
// Milliseconds until the next timer of this thread falls due; -1 when there is none.
int MillisecondsToNextTimer();

} // namespace platform::user
