// The updater's main window on a real X server: start-up time, size, shape, picture and
// progress bar, hover and press, drag, the keys it ignores, the About box and the ways out.
#include "UpdaterWindowTest.h"

#include <cstdio>

namespace nerith::e2e {

namespace {

class MainWindowTest : public UpdaterWindowTest {};

RECT Grow(RECT r, int by) {
    return RECT{r.left - by, r.top - by, r.right + by, r.bottom + by};
}

TEST_F(MainWindowTest, AppearsQuicklyShapedAndSkinnedWithItsBarInPlace) {
    const auto elapsed = StartUpdater();
    ASSERT_NE(Main(), 0u);
    std::printf("the main window appeared %lld ms after start\n",
                static_cast<long long>(elapsed.count()));
    EXPECT_LT(elapsed, 2000ms) << "the window should appear within 200 ms on a quiet machine";
    const RECT rect = MainRect();
    EXPECT_EQ(rect.right - rect.left, mask_.width);
    EXPECT_EQ(rect.bottom - rect.top, mask_.height);
    EXPECT_TRUE(ShapedLikeTheMask(Main(), testing::ShapeKind::Bounding));
    EXPECT_TRUE(ShapedLikeTheMask(Main(), testing::ShapeKind::Input))
        << "clicks on the white areas must fall through to the window beneath";
    ASSERT_TRUE(
        testing::WaitFor([&]() { return ShowsPicture(Main(), SkinPicture("1015"), kBar); }, 3s));
    EXPECT_TRUE(ShowsPicture(Main(), SkinPicture("1015"), kBar));
    // An empty bar: black inside its one-pixel border, exactly where the skin leaves room.
    const testing::Image shown = Shown(Main());
    const RECT inside{kBar.left + 2, kBar.top + 2, kBar.right, kBar.bottom};
    EXPECT_EQ(testing::CountPixels(shown, kBlack, inside),
              (inside.right - inside.left) * (inside.bottom - inside.top));
    EXPECT_NE(shown.At(kBar.left, kBar.top + 20), kBlack) << "the bar starts further left";
    SaveScreenshot("main-window", Grow(rect, 12));
}

TEST_F(MainWindowTest, TheBarFillsGreenOnBlackWhileAnUpdateRuns) {
    StartDevice({"--image-version=1,0"});
    StartUpdater();
    ASSERT_NE(Main(), 0u);
    input_->Click(ScreenAt(kOk));
    bool green = false;
    testing::WaitFor(
        [&]() {
            const testing::Image shown = Shown(Main());
            const RECT inside{kBar.left + 2, kBar.top + 2, kBar.right, kBar.bottom};
            const int area = (inside.right - inside.left) * (inside.bottom - inside.top);
            const int greens = testing::CountPixels(shown, kGreen, inside);
            green = greens > 0 && greens + testing::CountPixels(shown, kBlack, inside) == area;
            if (green && greens > area / 3) {
                SaveScreenshot("progress", Grow(MainRect(), 12));
                return true;
            }
            return false;
        },
        20s);
    EXPECT_TRUE(green) << "the bar never showed green on black";
}

TEST_F(MainWindowTest, HoverAndPressShowTheButtonsCutsAndTheTooltip) {
    StartUpdater();
    ASSERT_NE(Main(), 0u);
    const testing::Image background = SkinPicture("1015");
    input_->MovePointer(ScreenAt(kOk));
    EXPECT_TRUE(WaitUntilShowsCut(Main(), kOk, SkinPicture("1018")));
    EXPECT_TRUE(ShowsCut(Main(), kCancel, background));
    EXPECT_TRUE(testing::WaitForMappedWindow(*session_, "OK", 3s)) << "no tooltip";
    SaveScreenshot("hover-ok", Grow(MainRect(), 40));
    input_->ButtonDown();
    EXPECT_TRUE(WaitUntilShowsCut(Main(), kOk, SkinPicture("1016")));
    SaveScreenshot("pressed-ok", Grow(MainRect(), 12));
    input_->MovePointer(ScreenAt(kBackground));
    input_->ButtonUp();
    EXPECT_TRUE(WaitUntilShowsCut(Main(), kOk, background));
    input_->MovePointer(ScreenAt(kCancel));
    EXPECT_TRUE(WaitUntilShowsCut(Main(), kCancel, SkinPicture("1018")));
    EXPECT_TRUE(UpdaterRunning()) << "a press taken back must not count as a click";
}

TEST_F(MainWindowTest, ABackgroundPressDragsTheWindowAndOneOnTheBarOrAButtonDoesNot) {
    StartUpdater();
    ASSERT_NE(Main(), 0u);
    const RECT start = MainRect();
    for (const RECT from : {kBar, kCancel}) {
        const POINT p = ScreenAt(from);
        input_->Drag(p, POINT{p.x + 60, p.y - 50});
        session_->Sync();
        testing::WaitABit();
        EXPECT_EQ(MainRect().left, start.left);
        EXPECT_EQ(MainRect().top, start.top);
    }
    const POINT p = ScreenAt(kBackground);
    input_->Drag(p, POINT{p.x - 90, p.y + 70});
    EXPECT_TRUE(testing::WaitFor(
        [&]() { return MainRect().left == start.left - 90 && MainRect().top == start.top + 70; },
        3s))
        << "the window is at " << MainRect().left << ", " << MainRect().top;
    EXPECT_TRUE(UpdaterRunning());
}

TEST_F(MainWindowTest, EscAndEnterDoNothingAndACloseRequestEndsTheProgram) {
    StartUpdater();
    ASSERT_NE(Main(), 0u);
    input_->TapKey("Escape");
    input_->TapKey("Return");
    EXPECT_FALSE(WaitForExit(500ms)) << "a key ended the program";
    EXPECT_TRUE(session_->IsMapped(Main()));
    session_->SendClientMessage(
        Main(), "WM_PROTOCOLS",
        {static_cast<long>(session_->InternAtom("WM_DELETE_WINDOW")), 0, 0, 0, 0});
    EXPECT_EQ(WaitForExit(5s), 0);
}

TEST_F(MainWindowTest, TheCancelButtonEndsTheProgram) {
    StartUpdater();
    ASSERT_NE(Main(), 0u);
    input_->MovePointer(ScreenAt(kCancel));
    input_->Click(ScreenAt(kCancel));
    EXPECT_EQ(WaitForExit(5s), 0);
}

TEST_F(MainWindowTest, AltSpaceAndTheMenuItemOpenTheAboutBox) {
    StartUpdater();
    ASSERT_NE(Main(), 0u);
    input_->Chord({"Alt_L", "space"});
    ASSERT_TRUE(
        testing::WaitFor([&]() { return testing::TopLevelWindows(*session_).size() > 2; }, 3s))
        << "no system menu";
    testing::WaitABit();
    input_->TapKey("Up");
    input_->TapKey("Return");
    const auto about = testing::WaitForMappedWindow(*session_, "About Update", 3s);
    ASSERT_TRUE(about);
    const RECT aboutRect = session_->Geometry(*about).value_or(RECT{});
    const int area = (aboutRect.right - aboutRect.left) * (aboutRect.bottom - aboutRect.top);
    EXPECT_TRUE(testing::WaitFor(
        [&]() {
            return testing::CountPixels(testing::CaptureScreen(*session_, aboutRect), kBlack) <
                   area / 4;
        },
        3s))
        << "the About box was never painted";
    SaveScreenshot("about", Grow(aboutRect, 12));
    input_->TapKey("Return");
    EXPECT_TRUE(testing::WaitUntilHidden(*session_, *about, 3s));
    EXPECT_TRUE(session_->IsMapped(Main()));
    EXPECT_TRUE(UpdaterRunning());
}

} // namespace

} // namespace nerith::e2e
