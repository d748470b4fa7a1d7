// The updater's main window on a real X server: start-up time, size, shape, picture and
// progress bar, hover and press, drag, the keys it ignores, the About box and the ways out.
#include "UpdaterWindowTest.h"

#include <csignal>
#include <cstdio>

namespace nerith::e2e {

namespace {

class MainWindowTest : public UpdaterWindowTest {};

RECT Grow(RECT r, int by) {
    return RECT{r.left - by, r.top - by, r.right + by, r.bottom + by};
}

// Pixels of the window (not of what its cut-outs show) that differ between two captures.
int DifferencesInsideTheMask(const testing::Image& mask, const testing::Image& a,
                             const testing::Image& b) {
    int differences = 0;
    for (int y = 0; y < a.height && y < b.height; ++y) {
        for (int x = 0; x < a.width && x < b.width; ++x) {
            differences += MaskKeeps(mask, x, y) && a.At(x, y) != b.At(x, y) ? 1 : 0;
        }
    }
    return differences;
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

// The device stops answering at program block 40, so the bar holds a known part-filled state
// for the request's whole time-out: a loaded machine that looks late still sees the run, not
// the notice that follows it.
TEST_F(MainWindowTest, TheBarFillsGreenOnBlackWhileAnUpdateRuns) {
    StartDevice({"--image-version=1,0", "--fault=freeze-at:40"});
    StartUpdater();
    ASSERT_NE(Main(), 0u);
    input_->Click(ScreenAt(kOk));
    ASSERT_TRUE(testing::WaitFor([&]() { return devsim_->Stopped(); }, 20s))
        << "the device never reached program block 40";
    const RECT inside{kBar.left + 2, kBar.top + 2, kBar.right, kBar.bottom};
    const int area = (inside.right - inside.left) * (inside.bottom - inside.top);
    int greens = 0;
    int blacks = 0;
    testing::WaitFor(
        [&]() {
            const testing::Image shown = Shown(Main());
            greens = testing::CountPixels(shown, kGreen, inside);
            blacks = testing::CountPixels(shown, kBlack, inside);
            return greens > area / 3 && greens + blacks == area;
        },
        5s);
    EXPECT_GT(greens, area / 3) << "the bar shows too little of the run";
    EXPECT_EQ(greens + blacks, area) << "the bar is not green on black";
    SaveScreenshot("progress", Grow(MainRect(), 12));
    ASSERT_EQ(::kill(devsim_->Pid(), SIGCONT), 0);
}

TEST_F(MainWindowTest, HoverAndPressShowTheButtonsCutsAndTheTooltip) {
    // At real speed: scaled by 0.01 the tip is up for 50 ms, less than a loaded machine may
    // keep this test from looking, and it never comes back while the pointer rests.
    StartUpdater("1");
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

// One jump from the hovered OK button straight off the window, onto another program's window
// or the bare root window: the button shows its normal picture again and lets the capture go,
// so coming back shows the hover picture again.
TEST_F(MainWindowTest, AJumpOffAHoveredButtonRestoresItsPictureAndLetsTheCaptureGo) {
    StartUpdater();
    ASSERT_NE(Main(), 0u);
    const testing::Image background = SkinPicture("1015");
    const testing::Image hover = SkinPicture("1018");
    const RECT screen = session_->ScreenRect();
    const POINT away{screen.right - 5, screen.bottom - 5};
    for (const bool ontoRoot : {false, true}) {
        SCOPED_TRACE(ontoRoot ? "onto the root window" : "onto another program's window");
        if (ontoRoot) {
            session_->UnmapWindow(backdrop_);
            session_->Sync();
        }
        input_->MovePointer(ScreenAt(kOk));
        ASSERT_TRUE(WaitUntilShowsCut(Main(), kOk, hover));
        input_->MovePointer(away);
        EXPECT_TRUE(WaitUntilShowsCut(Main(), kOk, background))
            << "the button went on showing its hover picture";
        // A button that kept the capture would not take it again, and show no hover.
        input_->MovePointer(ScreenAt(kOk));
        EXPECT_TRUE(WaitUntilShowsCut(Main(), kOk, hover)) << "the button kept the capture";
        input_->MovePointer(away);
        ASSERT_TRUE(WaitUntilShowsCut(Main(), kOk, background));
    }
    EXPECT_TRUE(UpdaterRunning());
}

// While a run goes on, the window's thread reads no messages. A window covered and uncovered
// meanwhile shows its picture again at once, not black, as the Windows compositor keeps it.
TEST_F(MainWindowTest, CoveredAndUncoveredDuringARunItShowsItsPictureAgain) {
    // The MCU never answers, so at real speed the run tries to connect once a second for half
    // a minute, busy all along.
    StartDevice({"--image-version=1,0", "--fault=no-answer"});
    StartUpdater("1");
    ASSERT_NE(Main(), 0u);
    ASSERT_TRUE(
        testing::WaitFor([&]() { return ShowsPicture(Main(), SkinPicture("1015"), kBar); }, 3s));
    input_->Click(ScreenAt(kOk));
    ASSERT_TRUE(testing::WaitFor([&]() { return devsim_->Count("isp_open") >= 1; }, 10s))
        << "the run never tried to connect";
    const RECT rect = MainRect();
    const testing::Image before = Shown(Main());
    const testing::XId cover = session_->CreatePlainWindow(rect, true);
    session_->MapWindow(cover);
    session_->FillRect(cover, RECT{0, 0, rect.right - rect.left, rect.bottom - rect.top}, 0xFFFFFF);
    session_->Sync();
    ASSERT_NE(testing::CountPixels(Shown(Main()), 0xFFFFFF), 0);
    session_->DestroyWindow(cover);
    session_->Sync();
    const testing::Image after = Shown(Main());
    EXPECT_LT(devsim_->Count("isp_open"), 30u) << "the run was over before the window was seen";
    ASSERT_EQ(after.width, before.width);
    EXPECT_EQ(DifferencesInsideTheMask(mask_, after, before), 0)
        << testing::DescribeDifference(after, before);
    EXPECT_TRUE(ShowsCut(Main(), kBackground, SkinPicture("1015")));
    EXPECT_TRUE(UpdaterRunning());
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
    // Keys typed before the window has the keyboard would prove nothing.
    ASSERT_TRUE(WaitForKeyboard(Main()));
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
    ASSERT_TRUE(WaitForKeyboard(Main()));
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
