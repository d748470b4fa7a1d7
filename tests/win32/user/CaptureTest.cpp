// Mouse capture: the capturing window gets the mouse wherever it is, and loses it with itself.
#include "Win32Test.h"

using namespace win32test;

namespace {

class CaptureTest : public WindowTest {};

TEST_F(CaptureTest, TheCapturingWindowGetsTheMouseOutsideItself) {
    const HWND left = CreateLogWindow(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    const HWND right = CreateLogWindow(WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
    SetCapture(left);
    MessageLog::Get().Clear();
    // Real Win32 delivers made-up input asynchronously: wait for the move to arrive.
    ASSERT_TRUE(MoveTo(POINT{250, 30}));
    PumpUntil([] { return !MessageLog::Get().All({WM_MOUSEMOVE}).empty(); });
    const auto moves = MessageLog::Get().Of(left, {WM_MOUSEMOVE});
    EXPECT_EQ(moves.size(), 1u);
    EXPECT_TRUE(MessageLog::Get().Of(right, {WM_MOUSEMOVE}).empty());
    for (const Logged& e : MessageLog::Get().Entries()) {
        if (e.hwnd == left && e.message == WM_MOUSEMOVE) {
            EXPECT_EQ(static_cast<short>(LOWORD(e.lParam)), 250)
                << "client coordinates of the capturer";
        }
    }
    ReleaseCapture();
    MessageLog::Get().Clear();
    ASSERT_TRUE(MoveTo(POINT{260, 30}));
    PumpUntil([] { return !MessageLog::Get().All({WM_MOUSEMOVE}).empty(); });
    EXPECT_EQ(MessageLog::Get().Of(right, {WM_MOUSEMOVE}).size(), 1u);
    DestroyWindow(left);
    DestroyWindow(right);
}

TEST_F(CaptureTest, DestroyingTheCapturerReleasesTheCapture) {
    const HWND a = CreateLogWindow(WS_POPUP, 0, 0, 10, 10);
    SetCapture(a);
    DestroyWindow(a);
    EXPECT_EQ(GetCapture(), nullptr);
}

} // namespace
