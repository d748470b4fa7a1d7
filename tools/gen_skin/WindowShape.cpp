#include "WindowShape.h"

#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace gen_skin {

namespace {

// A minimum that rounds the inner corner where the tab meets the body.
float SmoothMin(float a, float b, float k) {
    const float h = std::clamp(0.5f + 0.5f * (b - a) / k, 0.0f, 1.0f);
    return b + (a - b) * h - k * h * (1.0f - h);
}

} // namespace

float OutlineDistance(float wx, float wy) {
    const float body = RoundedRectDistance(wx, wy, 3, 20, 377, 277, 16);
    const float tab = RoundedRectDistance(wx, wy, 13, 3, 207, 46, 11);
    return SmoothMin(body, tab, 6);
}

bool MaskInside(int x, int y) {
    return OutlineDistance(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f) < 0.0f;
}

bool InsideMask(const Rect& client) {
    for (int y = client.top; y < client.bottom; ++y) {
        for (int x = client.left; x < client.right; ++x) {
            if (!MaskInside(x + 1, y + 1)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace gen_skin
