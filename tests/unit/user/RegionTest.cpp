// A window region shapes what is shown and what is hit: outside it, the screen shows what is
// beneath and clicks go to the window beneath.
#include "TestSupport.h"
#include "platform/gdi32.h"

using namespace usertest;

namespace {

class RegionTest : public WindowTest {};

bool Fill(UINT msg, COLORREF colour, WPARAM wParam, LRESULT& result) {
    if (msg != WM_ERASEBKGND) {
        return false;
    }
    const HDC dc = reinterpret_cast<HDC>(wParam);
    const HBRUSH brush = CreateSolidBrush(colour);
    const RECT all{0, 0, 1000, 1000};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    result = 1;
    return true;
}

TEST_F(RegionTest, OutsideTheRegionTheWindowBeneathIsShownAndHit) {
    const HWND below = CreateLogWindow(WS_POPUP | WS_VISIBLE, 100, 100, 200, 200);
    const HWND above = CreateLogWindow(WS_POPUP | WS_VISIBLE, 100, 100, 200, 200);
    MessageLog::Get().hook = [&](HWND h, UINT msg, WPARAM w, LPARAM, LRESULT& result) {
        return Fill(msg, h == above ? RGB(255, 0, 0) : RGB(0, 0, 255), w, result);
    };
    // The left half only.
    const HRGN region = CreateRectRgn(0, 0, 100, 200);
    ASSERT_NE(SetWindowRgn(above, region, TRUE), 0);
    Pump();
    EXPECT_EQ(ScreenPixel(150, 150), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(250, 150), RGB(0, 0, 255)) << "the hole shows the window beneath";
    EXPECT_EQ(WindowFromPoint(POINT{150, 150}), above);
    EXPECT_EQ(WindowFromPoint(POINT{250, 150}), below);

    MessageLog::Get().Clear();
    Screen().Click(POINT{250, 150});
    Pump();
    EXPECT_EQ(MessageLog::Get().Of(below, {WM_LBUTTONDOWN}).size(), 1u);
    EXPECT_TRUE(MessageLog::Get().Of(above, {WM_LBUTTONDOWN}).empty());
    Screen().Click(POINT{150, 150});
    Pump();
    EXPECT_EQ(MessageLog::Get().Of(above, {WM_LBUTTONDOWN}).size(), 1u);

    // The window owns the region now: replacing it deletes the old one.
    ASSERT_NE(SetWindowRgn(above, CreateRectRgn(0, 0, 200, 200), TRUE), 0);
    EXPECT_EQ(GetObjectType(region), 0u) << "the replaced region was not deleted";
    MessageLog::Get().hook = nullptr;
    DestroyWindow(above);
    DestroyWindow(below);
}

} // namespace
