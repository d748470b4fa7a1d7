// A window region shapes what the screen shows: outside it, what is beneath.
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

TEST_F(RegionTest, OutsideTheRegionTheWindowBeneathIsShown) {
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
    MessageLog::Get().hook = nullptr;
    DestroyWindow(above);
    DestroyWindow(below);
}

} // namespace
