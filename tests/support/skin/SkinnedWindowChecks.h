// What every skinned window must show: the size of its background picture with a one-pixel
// border inside it, the outline of the mask, the background's pixels, and its buttons' cuts.
#pragma once

#include "SkinTestSupport.h"

namespace skintest {

// The window is as large as the picture and its client area one border width smaller on
// each side.
::testing::AssertionResult HasSkinGeometry(HWND hWnd, const Image& picture);
// The window's region holds exactly the mask's non-white pixels.
::testing::AssertionResult HasMaskShape(HWND hWnd, const Image& mask);
// Every pixel of the window inside the mask shows the picture's pixel at the same client
// position, except inside `except` (client coordinates; e.g. a control of its own).
::testing::AssertionResult ShowsPicture(HWND hWnd, const Image& picture, const Image& mask,
                                        RECT except = RECT{0, 0, 0, 0});
// The client rectangle shows the picture's pixels of the same rectangle.
::testing::AssertionResult ShowsCut(HWND hWnd, RECT clientRect, const Image& picture);

} // namespace skintest
