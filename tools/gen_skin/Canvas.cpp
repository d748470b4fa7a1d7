#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace gen_skin {

Color Hex(std::uint32_t rgb) {
    const auto channel = [rgb](int shift) {
        return static_cast<float>((rgb >> shift) & 0xFF) / 255.0f;
    };
    return Color{channel(16), channel(8), channel(0)};
}

Color Mix(Color a, Color b, float t) {
    return Color{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

float RoundedRectDistance(float px, float py, float left, float top, float right, float bottom,
                          float radius) {
    const float cx = (left + right) / 2, cy = (top + bottom) / 2;
    const float hx = (right - left) / 2 - radius, hy = (bottom - top) / 2 - radius;
    const float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

Coverage RoundedRect(float left, float top, float right, float bottom, float radius) {
    return [=](float x, float y) {
        const float d = RoundedRectDistance(x + 0.5f, y + 0.5f, left, top, right, bottom, radius);
        return std::clamp(0.5f - d, 0.0f, 1.0f);
    };
}

Coverage Circle(float cx, float cy, float radius) {
    return [=](float x, float y) {
        const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) - radius;
        return std::clamp(0.5f - d, 0.0f, 1.0f);
    };
}

Paint Solid(Color c) {
    return [=](int, int) { return c; };
}

Paint VerticalGradient(float top, float bottom, Color from, Color to) {
    return [=](int, int y) {
        return Mix(from, to,
                   std::clamp((static_cast<float>(y) + 0.5f - top) / (bottom - top), 0.0f, 1.0f));
    };
}

Canvas::Canvas(int width, int height, Color fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {}

void Canvas::Blend(int x, int y, Color c, float alpha) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || alpha <= 0.0f) {
        return;
    }
    Color& p = pixels_[static_cast<std::size_t>(y) * width_ + x];
    p = Mix(p, c, std::min(alpha, 1.0f));
}

void Canvas::Fill(const Coverage& shape, const Paint& paint, int x0, int y0, int x1, int y1,
                  float opacity) {
    for (int y = std::max(0, y0); y < std::min(height_, y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(width_, x1); ++x) {
            const float a = shape(static_cast<float>(x), static_cast<float>(y)) * opacity;
            if (a > 0.0f) {
                Blend(x, y, paint(x, y), a);
            }
        }
    }
}

void Canvas::Line(float x0, float y0, float x1, float y1, float width, Color c) {
    const float dx = x1 - x0, dy = y1 - y0;
    const float length2 = dx * dx + dy * dy;
    auto coverage = [=](float x, float y) {
        const float px = x + 0.5f, py = y + 0.5f;
        const float t = length2 > 0
                            ? std::clamp(((px - x0) * dx + (py - y0) * dy) / length2, 0.0f, 1.0f)
                            : 0.0f;
        const float d = std::hypot(px - (x0 + t * dx), py - (y0 + t * dy)) - width / 2;
        return std::clamp(0.5f - d, 0.0f, 1.0f);
    };
    const int pad = static_cast<int>(width) + 2;
    Fill(coverage, Solid(c), static_cast<int>(std::min(x0, x1)) - pad,
         static_cast<int>(std::min(y0, y1)) - pad, static_cast<int>(std::max(x0, x1)) + pad,
         static_cast<int>(std::max(y0, y1)) + pad);
}

std::vector<std::uint32_t> Canvas::Pixels() const {
    std::vector<std::uint32_t> out(pixels_.size());
    auto channel = [](float v) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255));
    };
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] =
            (channel(pixels_[i].r) << 16) | (channel(pixels_[i].g) << 8) | channel(pixels_[i].b);
    }
    return out;
}

} // namespace gen_skin
