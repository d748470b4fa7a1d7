// Dragging a window by its caption when the display leaves the move to the window system: the
// window follows the pointer until the button comes up (Esc puts it back), then lets the
// mouse go.
#include "TestSupport.h"

using namespace usertest;

namespace {

struct DragCase {
    const char* name;
    std::vector<POINT> path; // pointer offsets from the press, while the button is down
    bool escape;             // Esc before the release
    POINT moved;             // where the window ends, relative to its start
};

class CaptionDragTest : public WindowTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(CaptionDragTest, TheWindowFollowsThePointerUntilRelease) {
    const HWND window =
        CreateLogWindow(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 200, 150, 240, 120);
    ASSERT_TRUE(window);
    RECT start{};
    GetWindowRect(window, &start);
    const POINT press{start.left + 60, start.top + 10};
    ASSERT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(press.x, press.y)), HTCAPTION);
    Screen().MoveMouse(press);
    Screen().PressButton(1);
    for (const POINT& offset : GetParam().path) {
        Screen().MoveMouse(POINT{press.x + offset.x, press.y + offset.y});
    }
    if (GetParam().escape) {
        Screen().PressKey(VK_ESCAPE);
    }
    Screen().ReleaseButton(1);
    // The whole move runs inside the dispatch of the caption press.
    Pump();

    RECT end{};
    GetWindowRect(window, &end);
    EXPECT_EQ(end.left - start.left, GetParam().moved.x);
    EXPECT_EQ(end.top - start.top, GetParam().moved.y);
    EXPECT_EQ(end.right - end.left, start.right - start.left) << "a move changed the size";
    const RECT shown = Screen().WindowRect(Screen().WindowAt(POINT{end.left + 5, end.top + 5}));
    EXPECT_EQ(shown.left, end.left) << "the screen does not show the window where it is";
    EXPECT_EQ(shown.top, end.top);
    EXPECT_EQ(GetCapture(), nullptr) << "the move kept the mouse";
    EXPECT_FALSE(GetKeyState(VK_LBUTTON) & 0x8000) << "the release was lost";

    // The mouse reaches windows normally again: a click in the client area is the window's.
    MessageLog::Get().Clear();
    Screen().Click(POINT{end.left + 100, end.top + 80});
    Pump();
    EXPECT_EQ(MessageLog::Get().Of(window, {WM_LBUTTONDOWN, WM_LBUTTONUP}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    DestroyWindow(window);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, CaptionDragTest,
    ::testing::Values(DragCase{"RightAndDown", {{10, 5}, {40, 30}, {70, 45}}, false, {70, 45}},
                      DragCase{"LeftAndUp", {{-20, -10}, {-50, -40}}, false, {-50, -40}},
                      DragCase{"ThereAndBack", {{90, 90}, {3, -2}}, false, {3, -2}},
                      DragCase{"EscPutsItBack", {{40, 30}}, true, {0, 0}},
                      DragCase{"ReleaseWithoutMoving", {}, false, {0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
