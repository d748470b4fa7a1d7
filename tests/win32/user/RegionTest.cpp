// A window region shapes what is hit: outside it, clicks go to the window beneath, and the
// window owns the region it was given.
#include "Win32Test.h"
#include "platform/gdi32.h"

using namespace win32test;

namespace {

class RegionTest : public WindowTest {};

TEST_F(RegionTest, OutsideTheRegionTheWindowBeneathIsHit) {
    const HWND below = CreateLogWindow(WS_POPUP | WS_VISIBLE, 100, 100, 200, 200);
    const HWND above = CreateLogWindow(WS_POPUP | WS_VISIBLE, 100, 100, 200, 200);
    // The left half only.
    const HRGN region = CreateRectRgn(0, 0, 100, 200);
    ASSERT_NE(SetWindowRgn(above, region, TRUE), 0);
    Pump();
    EXPECT_EQ(WindowFromPoint(POINT{150, 150}), above);
    EXPECT_EQ(WindowFromPoint(POINT{250, 150}), below);

    // Inside first: a click activates its window, and on Windows activation brings the window
    // beneath to the top, where it would take the next click wherever it lands.
    MessageLog::Get().Clear();
    ASSERT_TRUE(Click(POINT{150, 150}));
    // Real Win32 delivers made-up input asynchronously: wait for the click's release.
    PumpUntil([] { return !MessageLog::Get().All({WM_LBUTTONUP}).empty(); });
    EXPECT_EQ(MessageLog::Get().Of(above, {WM_LBUTTONDOWN}).size(), 1u);
    EXPECT_TRUE(MessageLog::Get().Of(below, {WM_LBUTTONDOWN}).empty());
    MessageLog::Get().Clear();
    ASSERT_TRUE(Click(POINT{250, 150}));
    PumpUntil([] { return !MessageLog::Get().All({WM_LBUTTONUP}).empty(); });
    EXPECT_EQ(MessageLog::Get().Of(below, {WM_LBUTTONDOWN}).size(), 1u);
    EXPECT_TRUE(MessageLog::Get().Of(above, {WM_LBUTTONDOWN}).empty());

    // The window owns the region now: replacing it deletes the old one.
    ASSERT_NE(SetWindowRgn(above, CreateRectRgn(0, 0, 200, 200), TRUE), 0);
    EXPECT_EQ(GetObjectType(region), 0u) << "the replaced region was not deleted";
    DestroyWindow(above);
    DestroyWindow(below);
}

} // namespace
