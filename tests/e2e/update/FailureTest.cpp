// Runs that cannot finish: each ends in the failure notice, leaves no file behind and never
// reports success; the ones that fail before programming mode leave the device untouched.
#include "CarriedImage.h"
#include "ProgressBar.h"
#include "UpdateFixture.h"

#include <filesystem>

namespace nerith::e2e {
namespace {

using FailureTest = UpdateTest;

// After Esc on the failure notice the run is over: the main window is back with its bar at 0,
// and answers once the run has cleaned up after itself.
void ExpectBackOnMainWithEmptyBar(demo::UpdaterSession& updater) {
    ASSERT_TRUE(updater.TapKey("Escape"));
    const std::optional<View> main = updater.WaitFor(Screen::Main, kScreenTimeout);
    ASSERT_TRUE(main) << demo::UpdaterSession::Describe(updater.Current());
    ASSERT_TRUE(updater.WaitUntilAnswering(*main, kScreenTimeout));
    EXPECT_EQ(demo::ReadBarGreen(main->shot), 0);
}

TEST_F(FailureTest, NoDeviceShowsTheFailureNoticeAtOnceWithNothingWritten) {
    test::TempFolder emptyDeviceFolder;
    deviceDir_ = emptyDeviceFolder.Path();
    StartUpdater();
    ASSERT_FALSE(HasFatalFailure());
    const View main = WaitFor(Screen::Main);
    ASSERT_FALSE(HasFailure());
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(updater_->ClickOk(main));
    const View notice = WaitFor(Screen::Failure);
    ASSERT_FALSE(HasFailure());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_TRUE(TempFiles().empty());
    ExpectBackOnMainWithEmptyBar(*updater_);
    ASSERT_FALSE(HasFailure());
    const std::optional<View> back = updater_->Current();
    ASSERT_TRUE(back);
    ASSERT_TRUE(updater_->ClickOk(*back));
    const View second = WaitFor(Screen::Failure);
    ASSERT_FALSE(HasFailure());
    ExpectExitAfterOk(second);
    EXPECT_EQ(UpdaterStderr().find("CheckFWversion"), std::string::npos);
}

struct DeviceFault {
    const char* name;
    std::vector<std::string> arguments;
    unsigned ispOpens;       // 0: not checked
    bool programmingStarted; // a program request reached the device
    bool flashUntouched;
};

void PrintTo(const DeviceFault& fault, std::ostream* out) {
    *out << fault.name;
}

class DeviceFaultTest : public UpdateTest, public ::testing::WithParamInterface<DeviceFault> {};

TEST_P(DeviceFaultTest, EndsInTheFailureNoticeAndDeletesTheFile) {
    const DeviceFault& fault = GetParam();
    std::vector<std::string> arguments = {"--image-version=1,63"};
    arguments.insert(arguments.end(), fault.arguments.begin(), fault.arguments.end());
    const View main = StartAndShowMain(arguments);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(updater_->ClickOk(main));
    WaitFor(Screen::Failure, 40s);
    ASSERT_FALSE(HasFailure());
    EXPECT_TRUE(updater_->Process().Running());
    if (fault.ispOpens) {
        EXPECT_EQ(DeviceCount("isp_open"), fault.ispOpens);
    }
    EXPECT_EQ(DeviceCount("program") > 0, fault.programmingStarted);
    ExpectBackOnMainWithEmptyBar(*updater_);
    ASSERT_FALSE(HasFailure());
    EXPECT_TRUE(TempFiles().empty());
    if (fault.flashUntouched) {
        EXPECT_EQ(Flash(), initialFlash_);
    }
    EXPECT_NE(demo::Flash1Of(Flash()), ReferenceFlash1()) << "a failed run wrote the whole image";
    const std::optional<View> back = updater_->Current();
    ASSERT_TRUE(back);
    ASSERT_TRUE(updater_->ClickCancel(*back));
    EXPECT_EQ(updater_->Process().Wait(kExitTimeout), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DeviceFaultTest,
    ::testing::Values(
        DeviceFault{"McuNeverAnswers", {"--fault=no-answer"}, 30, false, true},
        DeviceFault{"ProgrammingModeRefused", {"--fault=icp-refused"}, 0, false, true},
        DeviceFault{"EraseFails", {"--fault=erase"}, 0, false, true},
        DeviceFault{"ProgramBlockFails", {"--fault=program-at:5"}, 0, true, false},
        DeviceFault{"DeviceVanishesMidProgram", {"--fault=vanish-at:10"}, 0, true, false}),
    [](const ::testing::TestParamInfo<DeviceFault>& info) { return info.param.name; });

// The file cannot be created: the message box says so, then the run ends before the device is
// switched into programming mode, so nothing stale is ever programmed.
TEST_F(FailureTest, TempFolderThatDoesNotExistShowsTheMessageBoxThenTheFailureNotice) {
    StartDevice({"--image-version=1,63"});
    ASSERT_FALSE(HasFatalFailure());
    StartUpdater(temp_->File("missing"));
    ASSERT_FALSE(HasFatalFailure());
    ExpectMessageBoxThenFailure();
    EXPECT_EQ(DeviceCount("isp_open"), 0u);
    EXPECT_FALSE(std::filesystem::exists(temp_->File("missing")));
}

// A TEMP too long for the path buffer must not be cut off into another folder's name.
TEST_F(FailureTest, OverlongTempEndsInTheFailureNoticeWithoutTouchingTheDevice) {
    StartDevice({"--image-version=1,63"});
    ASSERT_FALSE(HasFatalFailure());
    StartUpdater(temp_->Path() + "/" + std::string(255, 'd'));
    ASSERT_FALSE(HasFatalFailure());
    const View main = WaitFor(Screen::Main);
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(updater_->ClickOk(main));
    const View notice = WaitFor(Screen::Failure);
    ASSERT_FALSE(HasFailure());
    ExpectExitAfterOk(notice);
    EXPECT_EQ(DeviceCount("enter_icp"), 0u);
    EXPECT_EQ(Flash(), initialFlash_);
    EXPECT_TRUE(TempFiles().empty());
}

} // namespace
} // namespace nerith::e2e
