// JPEG encoding of known pixels with libjpeg, for the skin generator and for test pictures.
#pragma once

#include <cstdint>
#include <vector>

namespace jpeg_encoder {

// pixels: width * height words 0x00RRGGBB, rows top-down. No chroma subsampling, so small
// captions and thin edges stay crisp; `quality` is libjpeg's 1..100.
std::vector<std::uint8_t> EncodeJpeg(const std::vector<std::uint32_t>& pixels, int width,
                                     int height, int quality);

} // namespace jpeg_encoder
