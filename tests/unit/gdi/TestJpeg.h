// Test pictures: JPEG encoding of known pixels with libjpeg.
#pragma once

#include <cstdint>
#include <vector>

namespace testing_pictures {

// pixels: width * height words 0x00RRGGBB, rows top-down. Quality 100, no chroma subsampling.
std::vector<std::uint8_t> EncodeJpeg(const std::vector<std::uint32_t>& pixels, int width,
                                     int height);

} // namespace testing_pictures
