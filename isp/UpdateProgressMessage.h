// Sent by the verify and program stages to the window that follows the update: wParam is the
// progress in percent (0-49 verifying, 50-99 programming), lParam is 0.
#pragma once

#include "platform/user32.h"

#define WM_UPDATE_PROGRESS (WM_USER + 500)
