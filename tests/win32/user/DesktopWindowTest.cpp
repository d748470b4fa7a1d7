// The desktop window is what WindowFromPoint answers where the program has no window.
#include "Win32Test.h"

#include <vector>

using namespace win32test;

namespace {

class DesktopWindowTest : public WindowTest {};

// The check a skinned button makes on every move while it holds the capture: is the window
// under the pointer still me? A jump straight off the window onto the bare screen must say no.
TEST_F(DesktopWindowTest, ACapturingWindowSeesThePointerLeaveForTheDesktop) {
    const HWND window = CreateLogWindow(WS_POPUP | WS_VISIBLE, 300, 300, 100, 60);
    Pump();
    std::vector<HWND> under;
    MessageLog::Get().hook = [&](HWND h, UINT msg, WPARAM, LPARAM lParam, LRESULT&) {
        if (h != window || msg != WM_MOUSEMOVE) {
            return false;
        }
        POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ClientToScreen(h, &p);
        under.push_back(WindowFromPoint(p));
        if (under.back() != window && GetCapture() == window) {
            ReleaseCapture();
        }
        return false;
    };
    // Real Win32 delivers made-up input asynchronously: wait for each move to arrive.
    ASSERT_TRUE(MoveTo(POINT{350, 330}));
    PumpUntil([&] { return !under.empty(); });
    SetCapture(window);
    ASSERT_TRUE(MoveTo(POINT{900, 700}));
    PumpUntil([&] { return under.size() >= 2; });
    ASSERT_EQ(under.size(), 2u);
    EXPECT_EQ(under[0], window);
    EXPECT_EQ(under[1], GetDesktopWindow());
    EXPECT_EQ(GetCapture(), nullptr) << "the window never learnt that the pointer had left";
    MessageLog::Get().hook = nullptr;
    DestroyWindow(window);
}

} // namespace
