// Pixels as tests compare them: 0x00RRGGBB, rows top-down.
#pragma once

#include "platform/wintypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nerith::testing {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    Image() = default;
    Image(int w, int h, std::uint32_t fill = 0)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}

    bool Empty() const { return width <= 0 || height <= 0; }
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    void Set(int x, int y, std::uint32_t rgb) {
        pixels[static_cast<std::size_t>(y) * width + x] = rgb;
    }
};

// The part of `image` inside `rect`, clipped to the image.
Image Crop(const Image& image, const RECT& rect);
// How many pixels inside `rect` (the whole image when omitted) have exactly `rgb`.
int CountPixels(const Image& image, std::uint32_t rgb, std::optional<RECT> rect = std::nullopt);
// The first pixel (row by row) where the two differ, or where their sizes do; nullopt if equal.
std::optional<POINT> FirstDifference(const Image& a, const Image& b);
// "(x, y): 0xRRGGBB vs 0xRRGGBB" for a failure message; "equal" when there is no difference.
std::string DescribeDifference(const Image& a, const Image& b);

} // namespace nerith::testing
