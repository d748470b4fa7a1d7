// Reads the main window's progress bar off the screen: how much of it is green.
#pragma once

#include "x11/X11TestSupport.h"

namespace nerith::demo {

// The bar's place in the main window's client area.
constexpr RECT kProgressBarRect{24, 90, 356, 134};
constexpr std::uint32_t kBarGreen = 0x00FF00;

// Green pixels on the bar's middle row, given the main window's root rectangle.
int ReadBarGreen(testing::XSession& x, const RECT& mainWindow);
int ReadBarGreen(const testing::Image& mainWindowShot);
// What a bar at `percent` shows on that row: blocks two thirds as wide as the bar's inside
// is high, two pixels apart, inside a one-pixel margin and the control's border.
int BarGreenFor(int percent);

} // namespace nerith::demo
