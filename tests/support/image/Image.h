// Comparing pixel images: the display's own image type, so a picture from the headless
// screen and one from an X server are the same thing to a test.
#pragma once

#include "display/Image.h"
#include "platform/wintypes.h"

#include <cstdint>
#include <optional>
#include <string>

namespace nerith::testing {

using Image = platform::display::Image;

// The part of `image` inside `rect`, clipped to the image.
Image Crop(const Image& image, const RECT& rect);
// How many pixels inside `rect` (the whole image when omitted) have exactly `rgb`.
int CountPixels(const Image& image, std::uint32_t rgb, std::optional<RECT> rect = std::nullopt);
// The first pixel (row by row) where the two differ, or where their sizes do; nullopt if equal.
std::optional<POINT> FirstDifference(const Image& a, const Image& b);
// "(x, y): 0xRRGGBB vs 0xRRGGBB" for a failure message; "equal" when there is no difference.
std::string DescribeDifference(const Image& a, const Image& b);

} // namespace nerith::testing
