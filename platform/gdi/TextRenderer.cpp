#include "TextRenderer.h"

#include <algorithm>

namespace platform::gdi {

namespace {

std::uint32_t Blend(std::uint32_t dst, std::uint32_t src, unsigned alpha) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const unsigned d = (dst >> shift) & 0xFF;
        const unsigned s = (src >> shift) & 0xFF;
        out |= ((s * alpha + d * (255 - alpha) + 127) / 255) << shift;
    }
    return out;
}

void DrawGlyph(const PixelView& view, const RECT& clip, const Glyph& glyph, int penX, int baseline,
               std::uint32_t color) {
    const int left = penX + glyph.left;
    const int top = baseline - glyph.top;
    for (int gy = 0; gy < glyph.rows; ++gy) {
        const int y = top + gy;
        if (y < clip.top || y >= clip.bottom) {
            continue;
        }
        std::uint32_t* row = view.Row(y);
        const std::uint8_t* coverage = &glyph.coverage[static_cast<std::size_t>(gy) * glyph.width];
        for (int gx = 0; gx < glyph.width; ++gx) {
            const int x = left + gx;
            if (coverage[gx] != 0 && x >= clip.left && x < clip.right) {
                row[x] = Blend(row[x], color, coverage[gx]);
            }
        }
    }
}

void FillSpan(const PixelView& view, RECT r, const RECT& clip, std::uint32_t color) {
    if (!IntersectRects(r, clip)) {
        return;
    }
    for (int y = r.top; y < r.bottom; ++y) {
        std::fill(view.Row(y) + r.left, view.Row(y) + r.right, color);
    }
}

} // namespace

int DrawTextLine(DeviceContext& dc, Font& font, int x, int y, const TextLine& line,
                 const RECT* clip) {
    const POINT o = dc.Origin();
    RECT deviceClip = dc.DeviceClip();
    if (clip) {
        IntersectRects(deviceClip, RECT{clip->left + o.x, clip->top + o.y, clip->right + o.x,
                                        clip->bottom + o.y});
    }
    const TEXTMETRICA& tm = font.Metrics();
    const int width = font.TextWidth(line.text);
    const PixelView view = dc.View();
    x += o.x;
    y += o.y;
    if (dc.bkMode == OPAQUE) {
        FillSpan(view, RECT{x, y, x + width, y + tm.tmHeight}, deviceClip,
                 PixelFromColor(dc.bkColor));
    }
    const std::uint32_t color = PixelFromColor(dc.textColor);
    const int baseline = y + tm.tmAscent;
    int penX = x;
    for (std::size_t i = 0; i < line.text.size(); ++i) {
        const Glyph& glyph = font.GetGlyph(line.text[i]);
        DrawGlyph(view, deviceClip, glyph, penX, baseline, color);
        if ((i < line.underlined.size() && line.underlined[i]) || font.Log().lfUnderline) {
            FillSpan(view, RECT{penX, baseline + 1, penX + glyph.advance, baseline + 2}, deviceClip,
                     color);
        }
        penX += glyph.advance;
    }
    return width;
}

} // namespace platform::gdi
