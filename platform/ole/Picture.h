// IPicture over a bitmap it owns. Live pictures are tracked so that one its caller never
// releases (the skin loaders keep only the bitmap) stays reachable, not a leak.
#pragma once

#include "platform/ole2.h"

namespace platform::ole {

// A picture with one reference that owns `bitmap`; nullptr when out of memory.
IPicture* CreateBitmapPicture(HBITMAP bitmap);

} // namespace platform::ole
