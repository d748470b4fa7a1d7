// One nerith-update process through a hundred runs in a row, as a user who keeps pressing OK
// would make them: OK, the notice closed with Esc, the device replugged, OK again. Only the
// first run reaches the device (the channel opened at start-up does not survive a replug);
// every later one shows the failure notice. Memory, descriptors and threads must stay flat.
#include "ProcessFigures.h"
#include "UpdateFixture.h"

#include <cstdio>

namespace nerith::e2e {
namespace {

constexpr int kRuns = 100;
// Some allocator growth is normal; a notice that kept its pictures would add over 1 MiB a run.
constexpr long kResidentSlackKiB = 2048;

class UpdaterSoakTest : public UpdateTest {
protected:
    // OK, the notice, Esc, the main window again; false (with a failure) when a screen is off.
    bool OneRun(Screen expected) {
        const std::optional<View> main = updater_->WaitFor(Screen::Main, kScreenTimeout);
        if (!main) {
            ADD_FAILURE() << "no main window: "
                          << demo::UpdaterSession::Describe(updater_->Current());
            return false;
        }
        updater_->ClickOk(*main);
        updater_->ParkPointer();
        if (!updater_->WaitFor(expected, kScreenTimeout)) {
            ADD_FAILURE() << "expected the " << demo::ScreenName(expected) << ", saw "
                          << demo::UpdaterSession::Describe(updater_->Current());
            return false;
        }
        updater_->TapKey("Escape");
        return devsim_->Control("replug") == "ok";
    }

    // The tooltip's font file is opened when the first tip shows, which a pointer resting on
    // OK long enough brings about in whichever run the machine is slow in: show it once.
    bool ShowOkTooltip() {
        const std::optional<View> main = updater_->WaitFor(Screen::Main, kScreenTimeout);
        if (!main || !updater_->HoverOk(*main)) {
            return false;
        }
        // The tip keeps its text when it goes, so even one too brief to see is found.
        const bool shown = testing::WaitFor(
            [&] { return testing::FindWindowByName(*session_, "OK").has_value(); }, kScreenTimeout);
        updater_->ParkPointer();
        return shown;
    }

    std::optional<test::ProcessFigures> Figures() {
        // Back on the main window with nothing in flight: the window shows again before the
        // run has let go of its notice, so wait until it answers the pointer.
        const std::optional<View> main = updater_->WaitFor(Screen::Main, kScreenTimeout);
        if (!main || !updater_->WaitUntilAnswering(*main, kScreenTimeout)) {
            return std::nullopt;
        }
        return test::ReadProcessFigures(updater_->Process().pid());
    }
};

TEST_F(UpdaterSoakTest, HundredRunsInOneProcessLeaveMemoryDescriptorsAndThreadsFlat) {
    StartAndShowMain({"--image-version=1,63"});
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(ShowOkTooltip()) << "the OK button showed no tooltip";
    ASSERT_TRUE(OneRun(Screen::Success));
    ASSERT_EQ(DeviceCount("program"), 63u);
    const auto first = Figures();
    ASSERT_TRUE(first);
    for (int run = 2; run <= kRuns; ++run) {
        ASSERT_TRUE(OneRun(Screen::Failure)) << "run " << run;
    }
    const auto last = Figures();
    ASSERT_TRUE(last);
    std::printf("nerith-update after run 1:   %s\n", test::Describe(*first).c_str());
    std::printf("nerith-update after run %d: %s\n", kRuns, test::Describe(*last).c_str());

    EXPECT_EQ(DeviceCount("program"), 63u) << "only the first run reached the device";
    EXPECT_EQ(last->openFds, first->openFds) << "opened since run 1:\n"
                                             << test::DescriptorsAdded(*first, *last);
    EXPECT_EQ(last->threads, first->threads);
    EXPECT_LE(last->residentKiB - first->residentKiB, kResidentSlackKiB);
    EXPECT_TRUE(TempFiles().empty());
    const std::optional<View> main = updater_->Current();
    ASSERT_TRUE(main);
    ASSERT_TRUE(updater_->ClickCancel(*main));
    EXPECT_EQ(updater_->Process().Wait(kExitTimeout), 0);
}

} // namespace
} // namespace nerith::e2e
