#include "UpdateFixture.h"
#include "CarriedImage.h"

#include <cstdlib>
#include <filesystem>

namespace nerith::e2e {

demo::ScreenRecognizer* UpdateTest::recognizer_ = nullptr;

void UpdateTest::SetUpTestSuite() {
    static demo::ScreenRecognizer recognizer;
    static std::string error;
    static const bool loaded = recognizer.Load(NERITH_SKIN_DLL, &error);
    recognizer_ = loaded ? &recognizer : nullptr;
}

void UpdateTest::SetUp() {
    XvfbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    ASSERT_NE(recognizer_, nullptr) << "cannot read the skin pictures of " NERITH_SKIN_DLL;
    // The device keeps real time; only the updater's waits are scaled.
    ::unsetenv("NERITH_TIME_SCALE");
    temp_ = std::make_unique<test::TempFolder>();
    ASSERT_FALSE(temp_->Path().empty());
}

void UpdateTest::TearDown() {
    updater_.reset();
    devsim_.reset();
    XvfbTest::TearDown();
}

void UpdateTest::StartDevice(const std::vector<std::string>& arguments) {
    devsim_ = std::make_unique<test::DevsimProcess>(arguments);
    ASSERT_TRUE(devsim_->Running()) << devsim_->Error();
    deviceDir_ = devsim_->Folder();
    initialFlash_ = devsim_->DumpFlash();
    ASSERT_EQ(initialFlash_.size(), 0x10000u);
}

void UpdateTest::StartUpdater(std::optional<std::string> temp) {
    demo::UpdaterEnvironment environment;
    environment.program = NERITH_UPDATER_PATH;
    environment.display = server_->DisplayName();
    environment.deviceDir = deviceDir_;
    environment.temp = temp ? *temp : temp_->Path();
    environment.timeScale = "0.01";
    std::string error;
    updater_ = demo::UpdaterSession::Start(*session_, *recognizer_, environment, &error);
    ASSERT_NE(updater_, nullptr) << error;
    updater_->ParkPointer();
}

View UpdateTest::StartAndShowMain(const std::vector<std::string>& deviceArguments) {
    StartDevice(deviceArguments);
    if (HasFatalFailure()) {
        return {};
    }
    StartUpdater();
    if (HasFatalFailure()) {
        return {};
    }
    return WaitFor(Screen::Main);
}

View UpdateTest::WaitFor(Screen screen, std::chrono::milliseconds timeout) {
    std::optional<View> view = updater_->WaitFor(screen, timeout);
    if (!view) {
        ADD_FAILURE() << "expected the " << demo::ScreenName(screen) << ", saw "
                      << demo::UpdaterSession::Describe(updater_->Current())
                      << "; updater stderr:\n"
                      << updater_->Process().Stderr();
        return {};
    }
    return *view;
}

void UpdateTest::ExpectExitAfterOk(const View& notice) {
    ASSERT_TRUE(updater_->ClickOk(notice)) << demo::ScreenName(notice.screen);
    EXPECT_EQ(updater_->Process().Wait(kExitTimeout), 0)
        << "after OK on the " << demo::ScreenName(notice.screen) << " the updater shows "
        << demo::UpdaterSession::Describe(updater_->Current());
}

void UpdateTest::ExpectMessageBoxThenFailure() {
    const View main = WaitFor(Screen::Main);
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(updater_->ClickOk(main));
    WaitFor(Screen::MessageBox);
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(updater_->TapKey("Return"));
    const View notice = WaitFor(Screen::Failure);
    ASSERT_FALSE(HasFailure());
    ExpectExitAfterOk(notice);
    EXPECT_EQ(DeviceCount("enter_icp"), 0u);
    EXPECT_EQ(Flash(), initialFlash_);
}

std::vector<std::string> UpdateTest::TempFiles() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(temp_->Path(), ec)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

int UpdateTest::CountInStderr(const std::string& text) {
    const std::string all = UpdaterStderr();
    int count = 0;
    for (auto at = all.find(text); at != std::string::npos; at = all.find(text, at + 1)) {
        ++count;
    }
    return count;
}

const std::vector<std::uint8_t>& UpdateTest::ReferenceFlash1() {
    static const std::vector<std::uint8_t> reference = [] {
        test::TempFolder work;
        std::string error;
        return demo::ReferenceFlash1(NERITH_SREC_CAT, NERITH_CARRIED_IMAGE, work.Path(), &error);
    }();
    return reference;
}

} // namespace nerith::e2e
