// Bitmaps decoded from the same picture bytes share one copy of their pixels until one of them
// is drawn on. The decoder offers a bitmap it made; a later decode of the same bytes takes a
// share instead of decoding again.
#pragma once

#include "platform/wintypes.h"

#include <memory>

namespace platform::gdi {

struct SharedPixels;

// The pixels of a device-dependent bitmap, offered for sharing; empty for any other handle.
std::weak_ptr<SharedPixels> OfferBitmapPixels(HBITMAP bitmap) noexcept;

// A new bitmap over pixels still offered; nullptr when they were drawn on or deleted since,
// or when no handle is left.
HBITMAP CreateSharingBitmap(const std::weak_ptr<SharedPixels>& offered) noexcept;

} // namespace platform::gdi
