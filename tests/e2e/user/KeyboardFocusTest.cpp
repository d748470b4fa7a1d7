// The keyboard on a real X server follows the active window, as on Windows: a window that
// shows activated has the X keyboard before ShowWindow returns, and its owner has it back
// when it goes, so a key typed at once reaches the right window even before the program reads
// a single event. Without this, a notice closed with Esc left the keyboard with nobody, and
// a key typed at the next notice before its thread ran was lost.
#include "X11WindowTest.h"

namespace usere2e {

namespace {

class KeyboardFocusTest : public X11WindowTest {
protected:
    void SetUp() override {
        X11WindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        // Over the bare root, as a test parks it: keys must not depend on the pointer.
        input_->MovePointer(POINT{1200, 1000});
    }
};

TEST_F(KeyboardFocusTest, AShownWindowAndThenItsOwnerTakeKeysTypedAtOnce) {
    const HWND owner =
        CreateProbe("keys owner", WS_POPUP | WS_VISIBLE, RECT{100, 100, 600, 500}, RGB(60, 60, 60));
    ASSERT_TRUE(owner);
    ASSERT_TRUE(PumpUntil([&] { return Viewable(owner); }));
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const HWND notice =
            CreateProbe("keys notice", WS_POPUP, RECT{200, 200, 500, 400}, RGB(0, 90, 0), owner);
        ASSERT_TRUE(notice);
        ShowWindow(notice, SW_SHOWNORMAL);
        EXPECT_EQ(x_->KeyboardFocus(), XWindowOf(notice));
        ASSERT_TRUE(input_->TapKey("Escape"));
        EXPECT_TRUE(PumpUntil([&] { return KeysOn(notice, VK_ESCAPE) == 1; }))
            << "the key typed at the shown window was lost";

        ShowWindow(notice, SW_HIDE);
        EXPECT_EQ(GetActiveWindow(), owner);
        EXPECT_EQ(x_->KeyboardFocus(), XWindowOf(owner));
        ASSERT_TRUE(input_->TapKey("Return"));
        EXPECT_TRUE(PumpUntil([&] { return KeysOn(owner, VK_RETURN) == 1; }))
            << "the key typed at the owner was lost";
        DestroyWindow(notice);
        Keys().clear();
    }
    DestroyWindow(owner);
}

// Both windows activate the moment they show; the focus events X sends about the first must
// not activate it again once the second has the keyboard.
TEST_F(KeyboardFocusTest, TwoWindowsShownInARowLeaveTheSecondActive) {
    const HWND first =
        CreateProbe("keys first", WS_POPUP | WS_VISIBLE, RECT{100, 100, 300, 300}, RGB(90, 0, 0));
    const HWND second =
        CreateProbe("keys second", WS_POPUP | WS_VISIBLE, RECT{400, 100, 600, 300}, RGB(0, 0, 90));
    ASSERT_TRUE(first && second);
    PumpFor(300);
    EXPECT_EQ(GetActiveWindow(), second);
    EXPECT_EQ(x_->KeyboardFocus(), XWindowOf(second));
    DestroyWindow(second);
    DestroyWindow(first);
}

} // namespace

} // namespace usere2e
