#include "ProgressBar.h"
#include "ScreenRecognizer.h"

#include <algorithm>

namespace nerith::demo {

namespace {

constexpr int kControlBorder = 1;
constexpr int kMargin = 1;
constexpr int kBlockGap = 2;

int InnerWidth() {
    return kProgressBarRect.right - kProgressBarRect.left - 2 * (kControlBorder + kMargin);
}

int InnerHeight() {
    return kProgressBarRect.bottom - kProgressBarRect.top - 2 * (kControlBorder + kMargin);
}

int RoundedShare(int value, int numerator, int denominator) {
    return (2 * value * numerator + denominator) / (2 * denominator);
}

RECT MiddleRow(POINT origin) {
    const int left = origin.x + kWindowBorder + kProgressBarRect.left;
    const int y = origin.y + kWindowBorder + (kProgressBarRect.top + kProgressBarRect.bottom) / 2;
    return RECT{left, y, left + kProgressBarRect.right - kProgressBarRect.left, y + 1};
}

} // namespace

int ReadBarGreen(testing::XSession& x, const RECT& mainWindow) {
    const testing::Image row =
        testing::CaptureScreen(x, MiddleRow(POINT{mainWindow.left, mainWindow.top}));
    return testing::CountPixels(row, kBarGreen);
}

int ReadBarGreen(const testing::Image& mainWindowShot) {
    return testing::CountPixels(mainWindowShot, kBarGreen, MiddleRow(POINT{0, 0}));
}

int BarGreenFor(int percent) {
    const int width = InnerWidth();
    const int filled = RoundedShare(std::clamp(percent, 0, 100), width, 100);
    const int block = std::max(1, RoundedShare(InnerHeight(), 2, 3));
    int green = 0;
    for (int x = 0; x < filled; x += block + kBlockGap) {
        green += std::min(x + block, width) - x;
    }
    return green;
}

} // namespace nerith::demo
