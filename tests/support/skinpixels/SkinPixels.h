// The skin library's pictures as the updater decodes them, to compare with what the X server
// shows: the mask "1021" and the JPEGs by id.
#pragma once

#include "Image.h"
#include "platform/wintypes.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace nerith::e2e {

testing::Image SkinPicture(const char* id);
testing::Image SkinMask();
// Whether window pixel (x, y) belongs to the skinned window.
bool MaskKeeps(const testing::Image& mask, int x, int y);
// Whether the rectangles of a window's X shape cover exactly the pixels the mask keeps.
::testing::AssertionResult ShapeFollowsTheMask(const std::vector<RECT>& rects,
                                               const testing::Image& mask);

// Desktop around the window in the Linux build's screenshots (docs/screenshots).
constexpr int kScreenshotMargin = 12;
// Which window pixels a comparison looks at.
using Compared = std::function<bool(int x, int y)>;
inline bool Everywhere(int, int) {
    return true;
}
// Whether `shown`, a window's pixels, equals the Linux build's screenshot `shot` of the same
// screen wherever the mask keeps the window and `compared` says.
::testing::AssertionResult LooksLikeScreenshot(const testing::Image& shown,
                                               const testing::Image& mask,
                                               const testing::Image& shot,
                                               const Compared& compared = Everywhere);

} // namespace nerith::e2e
