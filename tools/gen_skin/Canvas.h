// An RGB picture with anti-aliased drawing: shapes are given as coverage functions, so edges
// blend by how much of each pixel they cover.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace gen_skin {

struct Color {
    float r, g, b;
};

Color Hex(std::uint32_t rgb);
Color Mix(Color a, Color b, float t);

// Coverage of pixel (x, y) by a shape, 0..1; the pixel's centre is (x + 0.5, y + 0.5).
using Coverage = std::function<float(float x, float y)>;
// Colour of a shape at pixel (x, y).
using Paint = std::function<Color(int x, int y)>;

// Signed distance from (px, py) to a rounded rectangle (negative inside).
float RoundedRectDistance(float px, float py, float left, float top, float right, float bottom,
                          float radius);
Coverage RoundedRect(float left, float top, float right, float bottom, float radius);
Coverage Circle(float cx, float cy, float radius);
Paint Solid(Color c);
Paint VerticalGradient(float top, float bottom, Color from, Color to);

class Canvas {
public:
    Canvas(int width, int height, Color fill);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Color At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

    void Blend(int x, int y, Color c, float alpha);
    // Fills the shape within [x0, x1) x [y0, y1) (clipped to the canvas), scaled by opacity.
    void Fill(const Coverage& shape, const Paint& paint, int x0, int y0, int x1, int y1,
              float opacity = 1.0f);
    void Line(float x0, float y0, float x1, float y1, float width, Color c);

    // 0x00RRGGBB, rows top-down.
    std::vector<std::uint32_t> Pixels() const;

private:
    int width_;
    int height_;
    std::vector<Color> pixels_;
};

} // namespace gen_skin
