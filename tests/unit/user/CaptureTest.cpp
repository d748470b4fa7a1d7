// The window that loses the capture is told who took it, and only when it changes hands.
#include "TestSupport.h"

using namespace usertest;

namespace {

class CaptureTest : public WindowTest {};

TEST_F(CaptureTest, TheLoserIsToldWhoTookTheCapture) {
    const HWND a = CreateLogWindow(WS_POPUP, 0, 0, 10, 10);
    const HWND b = CreateLogWindow(WS_POPUP, 0, 0, 10, 10);
    EXPECT_EQ(SetCapture(a), nullptr);
    MessageLog::Get().Clear();
    EXPECT_EQ(SetCapture(a), a);
    EXPECT_TRUE(MessageLog::Get().Of(a, {WM_CAPTURECHANGED}).empty())
        << "taking the capture again is no change";
    EXPECT_EQ(SetCapture(b), a);
    ASSERT_EQ(MessageLog::Get().Entries().size(), 1u);
    EXPECT_EQ(MessageLog::Get().Entries()[0].message, WM_CAPTURECHANGED);
    EXPECT_EQ(MessageLog::Get().Entries()[0].hwnd, a);
    EXPECT_EQ(MessageLog::Get().Entries()[0].lParam, reinterpret_cast<LPARAM>(b));
    MessageLog::Get().Clear();
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    ASSERT_EQ(MessageLog::Get().Entries().size(), 1u);
    EXPECT_EQ(MessageLog::Get().Entries()[0].hwnd, b);
    EXPECT_EQ(MessageLog::Get().Entries()[0].lParam, 0);
    DestroyWindow(a);
    DestroyWindow(b);
}

} // namespace
