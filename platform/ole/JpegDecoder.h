// JPEG decoding with libjpeg: whole, valid images only. Truncated or corrupt data (anything
// libjpeg would only warn about and paper over) is refused as invalid; an image beyond the
// picture limits (picture_limits.h) as too large, from its header, before anything of its
// size is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform::ole {

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::unique_ptr<std::uint32_t[]> pixels; // 0x00RRGGBB, rows top-down
};

enum class JpegStatus { Decoded, Invalid, TooLarge };

JpegStatus DecodeJpeg(const std::uint8_t* data, std::size_t size, DecodedImage& image);

} // namespace platform::ole
