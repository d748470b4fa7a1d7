// The images of a Windows .ico file whose entries are 32-bit BGRA bitmaps (what the build's
// icon generator writes), as top-down RGBA.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nerith::icon {

struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba; // rows top-down, 4 bytes a pixel
};

// nullopt with `error` set when the bytes are not such an icon or an entry lies outside them.
std::optional<std::vector<IconImage>> ParseIcon(const std::vector<std::uint8_t>& bytes,
                                                std::string* error);

} // namespace nerith::icon
