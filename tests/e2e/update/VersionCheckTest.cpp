// The device's version against the carried image's 164: the same version ends in the
// up-to-date notice, a newer one asks before the older image is written.
#include "CarriedImage.h"
#include "ProgressBar.h"
#include "UpdateFixture.h"

namespace nerith::e2e {
namespace {

const std::string kSameLine = "CheckFWversion  :same version!\n ";
const std::string kOldLine = "CheckFWversion  :old version!\n ";

using VersionCheckTest = UpdateTest;

TEST_F(VersionCheckTest, SameVersionShowsTheUpToDateNoticeAndLeavesTheDeviceAlone) {
    const View main = StartAndShowMain({"--image-version=1,64"});
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(updater_->ClickOk(main));
    const View notice = WaitFor(Screen::UpToDate);
    ASSERT_FALSE(HasFailure());
    EXPECT_TRUE(TempFiles().empty()) << "no file is written for an up-to-date device";
    EXPECT_EQ(CountInStderr(kSameLine), 1);
    ExpectExitAfterOk(notice);
    EXPECT_EQ(DeviceCount("enter_icp"), 0u);
    EXPECT_EQ(DeviceCount("isp_open"), 0u);
    EXPECT_EQ(Flash(), initialFlash_);
}

TEST_F(VersionCheckTest, EscOnTheUpToDateNoticeKeepsTheWindowAndOkAsksTheDriverAgain) {
    const View main = StartAndShowMain({"--image-version=1,64"});
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(updater_->ClickOk(main));
    WaitFor(Screen::UpToDate);
    ASSERT_FALSE(HasFailure());
    const unsigned queries = DeviceCount("fw_version");
    EXPECT_GE(queries, 1u);

    ASSERT_TRUE(updater_->TapKey("Escape"));
    const View again = WaitFor(Screen::Main);
    ASSERT_FALSE(HasFailure());
    EXPECT_TRUE(updater_->Process().Running());
    ASSERT_TRUE(updater_->ClickOk(again));
    const View second = WaitFor(Screen::UpToDate);
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(DeviceCount("fw_version"), 2 * queries);
    EXPECT_EQ(CountInStderr(kSameLine), 2);
    ExpectExitAfterOk(second);
}

TEST_F(VersionCheckTest, NewerDeviceAsksAndCancelEndsWithTheDeviceUntouched) {
    const View main = StartAndShowMain({"--image-version=2,0"});
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(updater_->ClickOk(main));
    const View prompt = WaitFor(Screen::Prompt);
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(CountInStderr(kOldLine), 1);
    ASSERT_TRUE(updater_->ClickCancel(prompt));
    EXPECT_EQ(updater_->Process().Wait(kExitTimeout), 0);
    EXPECT_EQ(DeviceCount("enter_icp"), 0u);
    EXPECT_EQ(Flash(), initialFlash_);
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(VersionCheckTest, NewerDeviceTakesTheOlderImageWhenTheUserAgrees) {
    const View main = StartAndShowMain({"--image-version=2,0"});
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(updater_->ClickOk(main));
    const View prompt = WaitFor(Screen::Prompt);
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(updater_->ClickOk(prompt));
    const View notice = WaitFor(Screen::Success);
    ASSERT_FALSE(HasFailure());
    ExpectExitAfterOk(notice);
    EXPECT_EQ(demo::Flash1Of(Flash()), ReferenceFlash1());
    EXPECT_TRUE(TempFiles().empty());
    EXPECT_EQ(DeviceCount("program"), 63u);
}

// Bytes 1 and 64 read as a little-endian word are 16,385: higher than 164, not equal to it.
TEST_F(VersionCheckTest, VersionFromTheSecondReadingCountsAsHigher) {
    const View main = StartAndShowMain({"--image-version=1,64", "--version-form=second"});
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(updater_->ClickOk(main));
    const View prompt = WaitFor(Screen::Prompt);
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(DeviceCount("fw_version"), 2u);
    EXPECT_EQ(CountInStderr(kOldLine), 1);
    EXPECT_EQ(CountInStderr(kSameLine), 0);
    ASSERT_TRUE(updater_->ClickCancel(prompt));
    EXPECT_EQ(updater_->Process().Wait(kExitTimeout), 0);
    EXPECT_EQ(DeviceCount("enter_icp"), 0u);
}

} // namespace
} // namespace nerith::e2e
