// Icons: pixels with alpha, loaded from icon resources (RT_GROUP_ICON and its RT_ICON
// images) or built in.
#pragma once

#include "platform/user32.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platform::user {

struct IconData {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb; // 0xAARRGGBB, rows top-down
    // Where the AND mask lets the background through, the image's colour (0x00RRGGBB) inverts
    // it as on Windows; all 0 for icons drawn the usual way, black under the mask.
    std::vector<std::uint32_t> invert;
};

std::shared_ptr<const IconData> GetIconData(HICON icon);
// Draws the icon blended over what is there, scaled to size x size when size differs.
BOOL DrawIconScaled(HDC hdc, int x, int y, HICON icon, int size);
// Decodes one RT_ICON image (a DIB with its AND mask, or PNG data, which is refused).
bool DecodeIconImage(const BYTE* data, std::size_t size, IconData& out);
// Chooses the entry of an RT_GROUP_ICON directory closest to `size`; 0 when none fits.
WORD ChooseIconImage(const BYTE* directory, std::size_t size, int wanted);

} // namespace platform::user
