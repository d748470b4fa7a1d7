// JPEG decoding with libjpeg: whole, valid images only. Truncated or corrupt data (anything
// libjpeg would only warn about and paper over) is refused as invalid; an image beyond the
// picture limits (picture_limits.h) as too large, from its header, before anything of its
// size is allocated.
#pragma once

#include "platform/wintypes.h"

#include <cstddef>
#include <cstdint>

namespace platform::ole {

enum class JpegStatus { Decoded, Invalid, TooLarge };

// On success `bitmap` is a new device-dependent bitmap of the picture, decoded straight into
// it; otherwise it is nullptr and nothing is left behind.
JpegStatus DecodeJpeg(const std::uint8_t* data, std::size_t size, HBITMAP* bitmap);

} // namespace platform::ole
