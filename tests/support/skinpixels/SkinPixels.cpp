#include "SkinPixels.h"

#include "SkinLibrary.h"
#include "SkinPictures.h"

#include <algorithm>
#include <sstream>

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

::testing::AssertionResult LooksLikeScreenshot(const testing::Image& shown,
                                               const testing::Image& mask,
                                               const testing::Image& shot,
                                               const Compared& compared) {
    int differences = 0;
    RECT box{mask.width, mask.height, 0, 0};
    std::ostringstream first;
    for (int y = 0; y < mask.height && y < shown.height; ++y) {
        for (int x = 0; x < mask.width && x < shown.width; ++x) {
            const std::uint32_t onLinux = shot.At(x + kScreenshotMargin, y + kScreenshotMargin);
            if (!MaskKeeps(mask, x, y) || !compared(x, y) || shown.At(x, y) == onLinux) {
                continue;
            }
            box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                       std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
            if (differences++ == 0) {
                first << "window pixel (" << x << ", " << y << ") is 0x" << std::hex
                      << shown.At(x, y) << ", 0x" << onLinux << " on Linux";
            }
        }
    }
    if (differences > 0) {
        return ::testing::AssertionFailure()
               << differences << " pixels differ within (" << box.left << ", " << box.top << ")-("
               << box.right << ", " << box.bottom << "); " << first.str();
    }
    return ::testing::AssertionSuccess();
}

} // namespace nerith::e2e
