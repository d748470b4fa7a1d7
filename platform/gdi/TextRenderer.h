// Draws one line of text into a DC: anti-aliased glyphs blended onto the 32-bit pixels, an
// optional opaque background and an optional underline under chosen characters.
#pragma once

#include "DeviceContext.h"
#include "Font.h"

#include <string>
#include <vector>

namespace platform::gdi {

struct TextLine {
    std::u32string text;
    std::vector<bool> underlined; // per character; empty for none
};

// (x, y) is the top-left of the line's cell in logical coordinates; `clip` (logical) further
// limits what is touched. Returns the line's width in pixels.
int DrawTextLine(DeviceContext& dc, Font& font, int x, int y, const TextLine& line,
                 const RECT* clip);

} // namespace platform::gdi
