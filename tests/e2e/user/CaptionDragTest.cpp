// Dragging a captioned window on an X server without a window manager: nobody offers
// _NET_WM_MOVERESIZE, so the window system follows the pointer itself until the release, and
// lets the pointer go afterwards.
#include "X11WindowTest.h"

namespace usere2e {

namespace {

class CaptionDragTest : public X11WindowTest {};

TEST_F(CaptionDragTest, TheWindowFollowsThePointerAndLetsItGo) {
    const HWND window = CreateProbe("drag me", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                                    RECT{200, 150, 500, 350}, RGB(200, 200, 0));
    ASSERT_TRUE(window);
    ASSERT_TRUE(PumpUntil([&] { return Viewable(window); }));
    const nerith::testing::XId xid = XWindowOf(window);
    RECT start{};
    GetWindowRect(window, &start);
    const POINT press{start.left + 80, start.top + 10};
    ASSERT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(press.x, press.y)), HTCAPTION);

    input_->Drag(press, POINT{press.x + 120, press.y + 90}, 1, 12);
    const auto moved = [&] {
        RECT now{};
        GetWindowRect(window, &now);
        const RECT onX = x_->Geometry(xid).value_or(RECT{});
        return now.left == start.left + 120 && now.top == start.top + 90 && onX.left == now.left &&
               onX.top == now.top;
    };
    EXPECT_TRUE(PumpUntil(moved)) << "the window did not end where the pointer was released";
    EXPECT_EQ(GetCapture(), nullptr) << "the move kept the capture";

    // The pointer is free again: a click in the client area is the window's, and one on a
    // foreign window there reaches nothing of ours.
    input_->Click(POINT{start.left + 170, start.top + 190});
    EXPECT_TRUE(PumpUntil([&] { return ClicksOn(window, WM_LBUTTONUP) == 1; }));
    EXPECT_EQ(ClicksOn(window, WM_LBUTTONDOWN), 1u);
    const nerith::testing::XId foreign = x_->CreatePlainWindow(RECT{700, 600, 800, 700}, true);
    x_->MapWindow(foreign);
    x_->Sync();
    input_->Click(POINT{750, 650});
    PumpFor(150);
    EXPECT_EQ(ClicksOn(window, WM_LBUTTONDOWN), 1u) << "our window still had the pointer";
    x_->DestroyWindow(foreign);
    DestroyWindow(window);
}

} // namespace

} // namespace usere2e
