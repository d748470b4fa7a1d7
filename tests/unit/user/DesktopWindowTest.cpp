// The desktop window: the screen as a real window, what WindowFromPoint answers wherever the
// program has no window, and one the program cannot change.
#include "TestSupport.h"
#include "platform/gdi32.h"

#include <functional>
#include <string>

using namespace usertest;

namespace {

class DesktopWindowTest : public WindowTest {};

RECT ScreenRect() {
    const platform::display::Image screen = Screen().Screenshot();
    return RECT{0, 0, screen.width, screen.height};
}

RECT WindowRectOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

TEST_F(DesktopWindowTest, WhereNoWindowIsThePointerIsOverTheDesktopWindow) {
    const HWND desktop = GetDesktopWindow();
    ASSERT_NE(desktop, nullptr);
    EXPECT_EQ(GetDesktopWindow(), desktop) << "one desktop window";
    EXPECT_TRUE(IsWindow(desktop));
    EXPECT_TRUE(IsWindowVisible(desktop));
    EXPECT_TRUE(IsWindowEnabled(desktop));
    EXPECT_EQ(ClassOf(desktop), "#32769");
    EXPECT_EQ(GetParent(desktop), nullptr);
    EXPECT_TRUE(SameRect(WindowRectOf(desktop), ScreenRect()));
    RECT client{};
    ASSERT_TRUE(GetClientRect(desktop, &client));
    EXPECT_TRUE(SameRect(client, ScreenRect()));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), ScreenRect().right);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), ScreenRect().bottom);

    const HWND window = CreateLogWindow(WS_POPUP | WS_VISIBLE, 100, 100, 200, 200);
    ASSERT_TRUE(SetWindowRgn(window, CreateRectRgn(0, 0, 100, 200), TRUE));
    Pump();
    const struct {
        POINT at;
        HWND expected;
    } cases[] = {
        {{150, 150}, window},  // inside the region
        {{250, 150}, desktop}, // inside the rectangle, outside the region
        {{99, 150}, desktop},  // just left of the window
        {{0, 0}, desktop},     {{ScreenRect().right - 1, ScreenRect().bottom - 1}, desktop},
        {{-50, -50}, desktop}, // off the screen
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WindowFromPoint(c.at), c.expected) << c.at.x << ", " << c.at.y;
    }
    ShowWindow(window, SW_HIDE);
    EXPECT_EQ(WindowFromPoint(POINT{150, 150}), desktop) << "a hidden window is not there";
    DestroyWindow(window);
    EXPECT_TRUE(IsWindow(desktop));
}

// Every call that would change the desktop window fails with ERROR_ACCESS_DENIED and leaves
// it, and the program's own input state, as they were.
TEST_F(DesktopWindowTest, TheProgramCannotChangeTheDesktopWindow) {
    const HWND desktop = GetDesktopWindow();
    const HWND own = CreateLogWindow(WS_POPUP | WS_VISIBLE, 10, 10, 50, 50);
    SetActiveWindow(own);
    SetFocus(own);
    Pump();
    const DWORD style = static_cast<DWORD>(GetWindowLongA(desktop, GWL_STYLE));
    const struct {
        const char* call;
        std::function<bool()> succeeded;
    } cases[] = {
        {"DestroyWindow", [&] { return DestroyWindow(desktop) != FALSE; }},
        {"ShowWindow", [&] { return ShowWindow(desktop, SW_HIDE) != FALSE; }},
        {"SetWindowPos",
         [&] { return SetWindowPos(desktop, nullptr, 5, 5, 10, 10, SWP_NOZORDER) != FALSE; }},
        {"MoveWindow", [&] { return MoveWindow(desktop, 5, 5, 10, 10, TRUE) != FALSE; }},
        {"EnableWindow",
         [&] { return EnableWindow(desktop, FALSE) != FALSE || !IsWindowEnabled(desktop); }},
        {"SetWindowRgn",
         [&] {
             const HRGN region = CreateRectRgn(0, 0, 10, 10);
             const bool taken = SetWindowRgn(desktop, region, TRUE) != 0;
             if (!taken) {
                 DeleteObject(region);
             }
             return taken;
         }},
        {"SetWindowLongA", [&] { return SetWindowLongA(desktop, GWL_STYLE, 0) != 0; }},
        {"SetActiveWindow", [&] { return SetActiveWindow(desktop) != nullptr; }},
        {"SetFocus", [&] { return SetFocus(desktop) != nullptr; }},
        {"SetCapture", [&] { return SetCapture(desktop) != nullptr || GetCapture() == desktop; }},
    };
    for (const auto& c : cases) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_FALSE(c.succeeded()) << c.call;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << c.call;
    }
    EXPECT_TRUE(IsWindow(desktop));
    EXPECT_TRUE(IsWindowVisible(desktop));
    EXPECT_TRUE(IsWindowEnabled(desktop));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(desktop, GWL_STYLE)), style);
    EXPECT_TRUE(SameRect(WindowRectOf(desktop), ScreenRect()));
    EXPECT_EQ(GetActiveWindow(), own);
    EXPECT_EQ(GetFocus(), own);
    EXPECT_EQ(GetCapture(), nullptr);
    DestroyWindow(own);
}

// It is the system's to paint and to answer: painting calls do nothing to it, messages sent
// to it come back with 0 at once.
TEST_F(DesktopWindowTest, PaintingAndMessagesLeaveTheDesktopAlone) {
    const HWND desktop = GetDesktopWindow();
    EXPECT_TRUE(InvalidateRect(desktop, nullptr, TRUE));
    EXPECT_TRUE(ValidateRect(desktop, nullptr));
    EXPECT_TRUE(RedrawWindow(desktop, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW));
    EXPECT_TRUE(UpdateWindow(desktop));
    PAINTSTRUCT ps{};
    EXPECT_EQ(BeginPaint(desktop, &ps), nullptr);
    const HDC dc = GetDC(desktop);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(ReleaseDC(desktop, dc), 1);
    EXPECT_EQ(SendMessageA(desktop, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_EQ(SendMessageA(desktop, WM_NCHITTEST, 0, 0), 0);
    EXPECT_EQ(GetWindowTextLengthA(desktop), 0);
    EXPECT_TRUE(IsWindow(desktop));
}

} // namespace
