// The keyboard follows activation: an activated window has the X input focus when Activate
// returns, before the program reads a single event, so a key typed at a window the moment it
// shows reaches it. With no window manager, nothing else would give the focus back when a
// focused window goes: X hands it to the pointer's root.
#include "BackendFixture.h"

namespace nerith::testing {
namespace {

constexpr RECT kOwnerRect{100, 100, 500, 400};
constexpr RECT kDialogRect{150, 150, 450, 350};

class FocusTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        // Over the bare root: with the focus at the pointer's root a key would go nowhere.
        input_->MovePointer(POINT{1200, 1000});
    }
};

TEST_F(FocusTest, AnActivatedWindowHasTheKeyboardWhenActivateReturns) {
    for (const WindowKind kind : {WindowKind::Normal, WindowKind::Dialog}) {
        SCOPED_TRACE(static_cast<int>(kind));
        const NativeId id = ShowWindow(kOwnerRect, kind);
        EXPECT_NE(session_->KeyboardFocus(), id) << "showing alone must not take the keyboard";
        backend_->Activate(id);
        EXPECT_EQ(session_->KeyboardFocus(), id);
        ASSERT_TRUE(input_->TapKey("Escape"));
        const auto down = WaitForEvent(EventType::KeyDown);
        ASSERT_TRUE(down);
        EXPECT_EQ(down->window, id);
        backend_->Destroy(id);
    }
}

TEST_F(FocusTest, PopupsAreNeverGivenTheKeyboard) {
    const NativeId owner = ShowWindow(kOwnerRect);
    backend_->Activate(owner);
    for (const WindowKind kind : {WindowKind::Tooltip, WindowKind::Menu}) {
        SCOPED_TRACE(static_cast<int>(kind));
        const NativeId popup = ShowWindow(RECT{120, 120, 200, 140}, kind, "popup", owner);
        backend_->Activate(popup);
        EXPECT_EQ(session_->KeyboardFocus(), owner);
        backend_->Destroy(popup);
    }
}

TEST_F(FocusTest, AWindowActivatedBeforeItShowsTakesTheKeyboardWhenMapped) {
    NativeWindowDesc desc;
    desc.screenRect = kDialogRect;
    desc.kind = WindowKind::Dialog;
    desc.title = "later";
    const NativeId id = backend_->Create(desc);
    ASSERT_NE(id, 0u);
    backend_->Activate(id);
    EXPECT_NE(session_->KeyboardFocus(), id);
    backend_->Show(id, true);
    ASSERT_TRUE(WaitForEvent(EventType::FocusIn, id)) << "the window never got the keyboard";
    EXPECT_EQ(session_->KeyboardFocus(), id);
}

// Two activations before the program reads its events: only the one still in effect is
// reported, or the window system would activate the first window again.
TEST_F(FocusTest, AFocusOvertakenBeforeItIsReadIsNotReported) {
    const NativeId first = ShowWindow(kOwnerRect, WindowKind::Normal, "first");
    const NativeId second = ShowWindow(kDialogRect, WindowKind::Dialog, "second");
    backend_->Activate(first);
    backend_->Activate(second);
    int focusedFirst = 0;
    int focusedSecond = 0;
    for (const InputEvent& e : Drain()) {
        if (e.type == EventType::FocusIn) {
            focusedFirst += e.window == first ? 1 : 0;
            focusedSecond += e.window == second ? 1 : 0;
        }
    }
    EXPECT_EQ(focusedFirst, 0);
    EXPECT_EQ(focusedSecond, 1);
    EXPECT_EQ(session_->KeyboardFocus(), second);
}

// What a modal notice does to its owner: X alone leaves the keyboard with nobody once the
// notice goes; activating the owner again gives it back before a key can be lost.
TEST_F(FocusTest, TheOwnerTakesTheKeyboardBackWhenItsDialogGoes) {
    const NativeId owner = ShowWindow(kOwnerRect, WindowKind::Normal, "owner");
    backend_->Activate(owner);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const NativeId dialog = ShowWindow(kDialogRect, WindowKind::Dialog, "dialog", owner);
        backend_->Activate(dialog);
        EXPECT_EQ(session_->KeyboardFocus(), dialog);
        backend_->Show(dialog, false);
        Settle();
        EXPECT_EQ(session_->KeyboardFocus(), XSession::kPointerRoot);
        backend_->Activate(owner);
        EXPECT_EQ(session_->KeyboardFocus(), owner);
        ASSERT_TRUE(input_->TapKey("Return"));
        const auto down = WaitForEvent(EventType::KeyDown);
        ASSERT_TRUE(down);
        EXPECT_EQ(down->window, owner);
        backend_->Destroy(dialog);
    }
}

} // namespace
} // namespace nerith::testing
