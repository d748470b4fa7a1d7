// The skin library's pictures as the updater decodes them, to compare with what the X server
// shows: the mask "1021" and the JPEGs by id.
#pragma once

#include "Image.h"
#include "platform/wintypes.h"

#include <gtest/gtest.h>

#include <vector>

namespace nerith::e2e {

testing::Image SkinPicture(const char* id);
testing::Image SkinMask();
// Whether window pixel (x, y) belongs to the skinned window.
bool MaskKeeps(const testing::Image& mask, int x, int y);
// Whether the rectangles of a window's X shape cover exactly the pixels the mask keeps.
::testing::AssertionResult ShapeFollowsTheMask(const std::vector<RECT>& rects,
                                               const testing::Image& mask);

} // namespace nerith::e2e
