// A message posted while another is handled carries the position of the one being handled.
#include "TestSupport.h"

using namespace usertest;

namespace {

constexpr UINT kPing = WM_USER + 10;

class MessageQueueTest : public WindowTest {};

TEST_F(MessageQueueTest, APostFromAHandlerCarriesThePositionOfTheMessageBeingHandled) {
    const HWND w = CreateLogWindow(WS_POPUP | WS_VISIBLE, 100, 100, 200, 200);
    Pump();
    MessageLog::Get().hook = [](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg == WM_LBUTTONDOWN) {
            PostMessageA(hwnd, kPing, 0, 0);
        }
        return false;
    };
    Screen().Click(POINT{150, 170});
    Screen().MoveMouse(POINT{260, 240});
    MSG msg{};
    POINT posted{-1, -1};
    for (int i = 0; i < 100 && posted.x < 0; ++i) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == kPing) {
                posted = msg.pt;
            }
            DispatchMessageA(&msg);
        }
        PumpFor(2);
    }
    EXPECT_EQ(posted.x, 150);
    EXPECT_EQ(posted.y, 170);
    DestroyWindow(w);
}

} // namespace
