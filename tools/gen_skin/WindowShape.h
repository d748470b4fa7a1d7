// The outline shared by every skinned window: a rounded body with a title tab on its upper
// left. Distances are in window pixels.
//
// How pixels line up: the window is as large as the pictures (380 x 280) and has a one-pixel
// border, so its client area starts at window (1, 1) and picture pixel (x, y) shows at window
// (x + 1, y + 1). Layout rectangles are client coordinates, which are picture coordinates.
// The mask is in window coordinates (it becomes the window region), so mask pixel (x, y)
// covers picture pixel (x - 1, y - 1). The outline stays two pixels inside the window's edge,
// which hides the border and keeps every shown pixel inside the client area.
#pragma once

namespace gen_skin {

constexpr int kPictureWidth = 380;
constexpr int kPictureHeight = 280;

struct Rect {
    int left, top, right, bottom;
};

// Signed distance from a point in window coordinates to the outline (negative inside).
float OutlineDistance(float wx, float wy);

// Whether the mask keeps window pixel (x, y).
bool MaskInside(int x, int y);

// The same outline seen from picture coordinates.
inline float PictureDistance(float px, float py) {
    return OutlineDistance(px + 1.0f, py + 1.0f);
}

// Whether every pixel of the client-coordinate rectangle lies inside the mask.
bool InsideMask(const Rect& client);

} // namespace gen_skin
