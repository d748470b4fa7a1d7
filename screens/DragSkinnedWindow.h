// Dragging a skinned window, which has no caption bar, by a press on its own surface.
#pragma once

#include "platform/mfc.h"

// Posts the press back to the window as a press on a caption, so the system moves the window
// with the pointer until the button comes up. `point` is the press as the window received it.
void DragSkinnedWindow(CWnd* pWnd, CPoint point);
