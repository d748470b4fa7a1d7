// Writing the skin's files: JPEG pictures and the 24-bit BMP mask.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gen_skin {

// pixels: 0x00RRGGBB, rows top-down. False when the file cannot be written.
bool WriteJpeg(const std::string& path, const std::vector<std::uint32_t>& pixels, int width,
               int height);
bool WriteBmp24(const std::string& path, const std::vector<std::uint32_t>& pixels, int width,
                int height);

} // namespace gen_skin
