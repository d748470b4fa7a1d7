// The push button under the mouse: a click counts only when the button is released over the
// button it was pressed on; the default button wears a black frame.
#include "Win32Test.h"

using namespace win32test;

namespace {

constexpr int kId = 7;

enum class Act { Move, Down, Up };

struct Step {
    Act act;
    POINT at; // button client coordinates
};

struct ClickCase {
    const char* name;
    std::vector<Step> steps;
    std::size_t clicks;
};

class ButtonTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        parent = CreateLogWindow(WS_POPUP | WS_VISIBLE, 100, 100, 300, 200);
        button = Create(BS_PUSHBUTTON, 40);
        ASSERT_TRUE(button);
    }
    void TearDown() override {
        DestroyWindow(parent);
        WindowTest::TearDown();
    }
    HWND Create(DWORD type, int y) {
        return CreateWindowExA(0, "Button", "Go", WS_CHILD | WS_VISIBLE | type, 40, y, 80, 30,
                               parent, reinterpret_cast<HMENU>(kId), nullptr, nullptr);
    }
    void Do(const Step& step) {
        EXPECT_TRUE(MoveTo(ScreenPoint(button, step.at.x, step.at.y)));
        if (step.act == Act::Down) {
            EXPECT_TRUE(ButtonDown());
        } else if (step.act == Act::Up) {
            EXPECT_TRUE(ButtonUp());
        }
        Pump();
    }
    std::vector<Logged> Clicks() const {
        std::vector<Logged> clicks;
        for (const Logged& e : MessageLog::Get().Entries()) {
            if (e.hwnd == parent && e.message == WM_COMMAND) {
                clicks.push_back(e);
            }
        }
        return clicks;
    }
    bool Pushed() const { return (SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }
    HWND parent = nullptr;
    HWND button = nullptr;
};

class ButtonClickTest : public ButtonTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(ButtonClickTest, ClickedOnlyWhenReleasedOverTheButton) {
    for (const Step& step : GetParam().steps) {
        Do(step);
    }
    const std::vector<Logged> clicks = Clicks();
    ASSERT_EQ(clicks.size(), GetParam().clicks);
    for (const Logged& c : clicks) {
        EXPECT_EQ(c.wParam, MAKEWPARAM(kId, BN_CLICKED));
        EXPECT_EQ(c.lParam, reinterpret_cast<LPARAM>(button));
    }
    EXPECT_EQ(GetCapture(), nullptr) << "the button kept the mouse after the release";
    EXPECT_FALSE(Pushed()) << "still drawn pushed after the release";
}

constexpr POINT kIn{40, 15};
constexpr POINT kOut{-30, 15}; // on the parent, left of the button

INSTANTIATE_TEST_SUITE_P(
    Sequences, ButtonClickTest,
    ::testing::Values(
        ClickCase{"PressAndRelease", {{Act::Down, kIn}, {Act::Up, kIn}}, 1},
        ClickCase{"DragOffAndRelease", {{Act::Down, kIn}, {Act::Move, kOut}, {Act::Up, kOut}}, 0},
        ClickCase{"DragOffAndBack",
                  {{Act::Down, kIn}, {Act::Move, kOut}, {Act::Move, {5, 5}}, {Act::Up, {5, 5}}},
                  1},
        ClickCase{"PressedElsewhere", {{Act::Down, kOut}, {Act::Move, kIn}, {Act::Up, kIn}}, 0},
        ClickCase{"ReleasedOnTheEdge", {{Act::Down, kIn}, {Act::Up, {80, 15}}}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ButtonTest, DraggingOffKeepsTheMouseAndPopsTheButtonUp) {
    Do({Act::Down, kIn});
    EXPECT_EQ(GetCapture(), button);
    EXPECT_TRUE(Pushed());
    MessageLog::Get().Clear();
    Do({Act::Move, kOut});
    EXPECT_EQ(GetCapture(), button) << "the button let the mouse go while it was held";
    EXPECT_FALSE(Pushed()) << "off the button it must look released";
    EXPECT_TRUE(MessageLog::Get().Of(parent, {WM_MOUSEMOVE}).empty())
        << "the parent saw the mouse although the button held it";
    Do({Act::Move, kIn});
    EXPECT_TRUE(Pushed());
    Do({Act::Up, kIn});
}

TEST_F(ButtonTest, TheDefaultButtonHasABlackFrameOutsideItsRaisedEdge) {
    const HWND fallback = Create(BS_DEFPUSHBUTTON, 100);
    UpdateWindow(parent);
    const auto at = [](HWND hwnd, int x, int y) { return ClientPixel(hwnd, x, y); };
    const COLORREF black = RGB(0, 0, 0);
    EXPECT_EQ(at(fallback, 0, 0), black);
    EXPECT_EQ(at(fallback, 40, 0), black);
    EXPECT_EQ(at(fallback, 79, 29), black);
    EXPECT_NE(at(button, 0, 0), black) << "a plain button has no frame";
    EXPECT_NE(at(button, 40, 0), black);
    EXPECT_EQ(at(fallback, 1, 1), at(button, 0, 0)) << "the raised edge moves in by one pixel";
    EXPECT_EQ(at(fallback, 8, 15), GetSysColor(COLOR_BTNFACE)) << "the face inside";
    EXPECT_EQ(SendMessageA(fallback, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(SendMessageA(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
}

} // namespace
