// The desktop window covers the display's whole screen, and the screen metrics say so.
#include "TestSupport.h"

using namespace usertest;

namespace {

TEST(DesktopWindowTest, TheDesktopWindowAndTheMetricsCoverTheDisplaysScreen) {
    const platform::display::Image screen = Screen().Screenshot();
    RECT desktop{};
    ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &desktop));
    EXPECT_EQ(desktop.left, 0);
    EXPECT_EQ(desktop.top, 0);
    EXPECT_EQ(desktop.right, screen.width);
    EXPECT_EQ(desktop.bottom, screen.height);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), screen.width);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), screen.height);
}

} // namespace
