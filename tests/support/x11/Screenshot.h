// Reads what the X server shows, converted to 0x00RRGGBB whatever the screen's depth.
#pragma once

#include "Image.h"
#include "XSession.h"

namespace nerith::testing {

// `area` of the root window (clipped to the screen): what a person would see there.
Image CaptureScreen(XSession& session, const RECT& area);
Image CaptureScreen(XSession& session);
// The window's own pixels (it must be viewable); empty when it is gone.
Image CaptureWindow(XSession& session, XId window);

} // namespace nerith::testing
