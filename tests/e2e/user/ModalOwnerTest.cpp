// A modal dialog over its owner on a real X server: the owner is disabled while the dialog
// runs, so clicks on it do nothing, and it takes clicks again once the dialog has ended. X
// knows the dialog as transient for its owner.
#include "X11WindowTest.h"

namespace usere2e {

namespace {

class ModalOwnerTest : public X11WindowTest {};

TEST_F(ModalOwnerTest, TheDisabledOwnerIgnoresClicksUntilTheDialogEnds) {
    const HWND owner =
        CreateProbe("owner window", WS_POPUP | WS_VISIBLE, RECT{0, 0, 900, 700}, RGB(90, 90, 90));
    ASSERT_TRUE(owner);
    ASSERT_TRUE(PumpUntil([&] { return Viewable(owner); }));
    const POINT onOwner{30, 30};
    OnceShownDialog about(100, CWnd::FromHandle(owner));
    BOOL ownerEnabled = TRUE;
    std::optional<nerith::testing::XId> transientFor;
    about.script = [&](OnceShownDialog& d) {
        EXPECT_TRUE(PumpUntil([&] { return Viewable(d.m_hWnd); }));
        ownerEnabled = IsWindowEnabled(owner);
        transientFor = x_->TransientFor(XWindowOf(d.m_hWnd));
        input_->Click(onOwner);
        input_->Click(POINT{850, 650});
        PumpFor(200);
        EXPECT_EQ(GetActiveWindow(), d.m_hWnd) << "a click on the owner took the activation";
        // Now the dialog's own OK, through its modal loop.
        RECT ok{};
        GetWindowRect(GetDlgItem(d.m_hWnd, IDOK), &ok);
        input_->Click(POINT{(ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2});
    };
    EXPECT_EQ(about.DoModal(), IDOK);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_EQ(transientFor.value_or(0), XWindowOf(owner));
    EXPECT_EQ(ClicksOn(owner, WM_LBUTTONDOWN), 0u) << "the disabled owner took a click";

    input_->Click(onOwner);
    EXPECT_TRUE(PumpUntil([&] { return ClicksOn(owner, WM_LBUTTONUP) == 1; }))
        << "the owner stayed deaf after the dialog";
    DestroyWindow(owner);
}

} // namespace

} // namespace usere2e
