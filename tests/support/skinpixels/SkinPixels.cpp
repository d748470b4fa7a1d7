#include "SkinPixels.h"

#include "SkinLibrary.h"
#include "SkinPictures.h"

#include <algorithm>

namespace nerith::e2e {

testing::Image SkinPicture(const char* id) {
    CBitmap picture;
    SIZE size{};
    LoadSkinJpeg(id, &picture, &size);
    return demo::ReadPixels(picture);
}

testing::Image SkinMask() {
    CBitmap mask;
    SIZE size{};
    LoadSkinBitmap("1021", &mask, &size);
    return demo::ReadPixels(mask);
}

bool MaskKeeps(const testing::Image& mask, int x, int y) {
    return mask.At(x, y) != 0x00FFFFFF;
}

::testing::AssertionResult ShapeFollowsTheMask(const std::vector<RECT>& rects,
                                               const testing::Image& mask) {
    testing::Image shape(mask.width, mask.height, 0);
    for (const RECT& r : rects) {
        for (int y = std::max(0, r.top); y < r.bottom && y < shape.height; ++y) {
            for (int x = std::max(0, r.left); x < r.right && x < shape.width; ++x) {
                shape.Set(x, y, 1);
            }
        }
    }
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            if ((shape.At(x, y) != 0) != MaskKeeps(mask, x, y)) {
                return ::testing::AssertionFailure()
                       << "window pixel (" << x << ", " << y << ") is "
                       << (shape.At(x, y) ? "inside" : "outside") << " the shape";
            }
        }
    }
    return ::testing::AssertionSuccess() << rects.size() << " rectangles";
}

} // namespace nerith::e2e
