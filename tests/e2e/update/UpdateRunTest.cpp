// A device one version behind: the whole update as the user sees it, from OK to the success
// notice, with the progress bar read off the screen while the device works in real time.
#include "CarriedImage.h"
#include "ProgressBar.h"
#include "UpdateFixture.h"

#include <algorithm>
#include <set>
#include <thread>

namespace nerith::e2e {
namespace {

using Clock = std::chrono::steady_clock;

struct BarSample {
    int green;
    unsigned programRequests; // read after the screenshot
};

// The device's version bytes sit in Flash #1 block 55 (0xDE00); the verify pass over the old
// firmware stops there, after sending progress for block 54.
constexpr int kLastVerifyPercent = 42;
constexpr unsigned kVerifyRequests = 56;
constexpr unsigned kFlash1Blocks = 63;

class UpdateRunTest : public UpdateTest {
protected:
    // Samples the bar until a notice covers the main window.
    std::vector<BarSample> FollowBar(const View& main, std::optional<View>& notice) {
        std::vector<BarSample> samples;
        const auto deadline = Clock::now() + 30s;
        while (Clock::now() < deadline && updater_->Process().Running()) {
            const std::optional<View> top = updater_->Current();
            if (top && top->screen != Screen::Main && top->screen != Screen::Unknown) {
                notice = top;
                break;
            }
            const int green = demo::ReadBarGreen(*session_, main.rect);
            samples.push_back({green, DeviceCount("program")});
        }
        return samples;
    }
};

TEST_F(UpdateRunTest, OlderDeviceIsRewrittenWhileTheBarMovesThroughVerifyAndProgram) {
    const View main = StartAndShowMain({"--image-version=1,63", "--timing"});
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(demo::ReadBarGreen(main.shot), 0);
    ASSERT_TRUE(updater_->ClickOk(main));
    updater_->ParkPointer();

    std::optional<View> notice;
    const std::vector<BarSample> samples = FollowBar(main, notice);
    ASSERT_TRUE(notice) << demo::UpdaterSession::Describe(updater_->Current());
    EXPECT_EQ(notice->screen, Screen::Success);

    // The notice puts the bar back to 0 before it shows; until then the bar only grows.
    std::size_t end = samples.size();
    while (end > 0 && samples[end - 1].green == 0) {
        --end;
    }
    int verifyMax = 0;
    std::set<int> programGreens;
    for (std::size_t i = 0; i < end; ++i) {
        if (i > 0) {
            ASSERT_GE(samples[i].green, samples[i - 1].green)
                << "the bar went back at sample " << i;
        }
        if (samples[i].programRequests == 0) {
            verifyMax = std::max(verifyMax, samples[i].green);
        } else {
            programGreens.insert(samples[i].green);
        }
    }
    EXPECT_EQ(verifyMax, demo::BarGreenFor(kLastVerifyPercent));
    ASSERT_FALSE(programGreens.empty());
    EXPECT_GE(*programGreens.begin(), demo::BarGreenFor(kLastVerifyPercent));
    // The bar stands at 99 only for the moment between the last block and the notice, which a
    // sampler on a loaded machine can miss; the exact 50..99 sequence is a unit test's business.
    EXPECT_GE(*programGreens.rbegin(), demo::BarGreenFor(75));
    EXPECT_LE(*programGreens.rbegin(), demo::BarGreenFor(99));
    EXPECT_GE(programGreens.size(), 4u) << "the bar should move while the flash is programmed";

    EXPECT_EQ(DeviceCount("enter_icp"), 1u);
    EXPECT_EQ(DeviceCount("verify"), kVerifyRequests);
    EXPECT_EQ(DeviceCount("erase"), 1u);
    EXPECT_EQ(DeviceCount("program"), kFlash1Blocks);
    EXPECT_EQ(TempFiles(), std::vector<std::string>{"temp.s19"}) << "the file lives until OK";

    ExpectExitAfterOk(*notice);
    EXPECT_TRUE(TempFiles().empty());
    EXPECT_EQ(demo::Flash1Of(Flash()), ReferenceFlash1());
    EXPECT_EQ(CountInStderr("CheckFWversion  :new version!\n "), 1);
    EXPECT_EQ(CountInStderr("CheckFWversion  :same version!\n "), 0);
    EXPECT_EQ(CountInStderr("CheckFWversion  :old version!\n "), 0);
    EXPECT_EQ(CountInStderr("VerifyAll begin"), 1);
    EXPECT_EQ(CountInStderr("ProgramAll begin"), 1);
}

TEST_F(UpdateRunTest, CancelWhileIdleEndsAtOnceWithoutAskingTheDevice) {
    const View main = StartAndShowMain({"--image-version=1,63"});
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(updater_->ClickCancel(main));
    EXPECT_EQ(updater_->Process().Wait(kExitTimeout), 0);
    EXPECT_EQ(DeviceCount("fw_version"), 0u);
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(UpdateRunTest, KeysOnTheMainWindowDoNothing) {
    const View main = StartAndShowMain({"--image-version=1,63"});
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(updater_->TapKey("Return"));
    ASSERT_TRUE(updater_->TapKey("Escape"));
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(updater_->Process().Running());
    EXPECT_EQ(DeviceCount("fw_version"), 0u);
    const std::optional<View> still = updater_->Current();
    ASSERT_TRUE(still);
    EXPECT_EQ(still->screen, Screen::Main);
}

} // namespace
} // namespace nerith::e2e
