// Style bits: what the window was given reads back as given, and the frame follows a changed
// style at once.
#include "TestSupport.h"

using namespace usertest;

namespace {

class WindowLifecycleTest : public WindowTest {};

TEST_F(WindowLifecycleTest, StyleBitsReadAndWrite) {
    const HWND w = CreateLogWindow(WS_POPUP | WS_BORDER, 0, 0, 40, 30, nullptr, 0, WS_EX_APPWINDOW);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE)),
              static_cast<DWORD>(WS_POPUP | WS_BORDER));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(w, GWL_EXSTYLE)),
              static_cast<DWORD>(WS_EX_APPWINDOW));
    SetWindowLongA(w, GWL_STYLE, WS_POPUP);
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 40) << "the border went but the client did not grow";
    DestroyWindow(w);
}

} // namespace
