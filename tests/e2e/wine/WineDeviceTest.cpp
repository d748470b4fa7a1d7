// The Windows build against the simulated Nerith under Wine: korvel.sys, a kernel service of
// the prefix hosted by Wine's device service, reaches nerith-devsim through nerith-korvel-relay
// (devsim/wine/README.md). Wine's waits are real ones, so each case is one run; the prefix
// and the driver's service serve every case, each case has a device of its own.
#include "CarriedImage.h"
#include "DevsimProcess.h"
#include "ScreenRecognizer.h"
#include "SkinPixels.h"
#include "UpdaterSession.h"
#include "WinePrefix.h"
#include "x11/X11TestSupport.h"

#include <filesystem>
#include <sstream>

namespace nerith::e2e {

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using demo::Screen;
using demo::View;

constexpr const char* kUpdater = "C:\\nerith\\nerith-update.exe";
constexpr const char* kTitle = "Nerith updater";
// Wine traces the text of every message box on this channel, one line each.
constexpr const char* kMessageBoxChannel = "trace+msgbox";
constexpr const char* kMessageBoxLine = "trace:msgbox:";
constexpr const char* kTempFolder = "nerith-temp"; // in C:\, the prefix's TEMP
constexpr const char* kService = "HKLM\\System\\CurrentControlSet\\Services\\korvel";
constexpr const char* kEventWord = "0x4E450001";
// Wine starts a program in seconds on a quiet machine; an update waits about 2 s before
// programming mode and 1 s per connection attempt, and moves 32 KiB through three processes.
constexpr auto kStartTimeout = 60s;
constexpr auto kUpdateTimeout = 180s;
constexpr auto kStepTimeout = 30s;
constexpr auto kToolTimeout = 60s;

struct Rig {
    std::unique_ptr<testing::XvfbServer> xvfb;
    std::unique_ptr<testing::XSession> x;
    std::unique_ptr<testing::WinePrefix> prefix;
    demo::ScreenRecognizer recognizer;
    testing::Image mask;
    std::string error;
};

Rig* rig = nullptr;

bool Fail(std::string* error, const std::string& text) {
    *error = text;
    return false;
}

bool CopyInto(const fs::path& from, const fs::path& to, std::string* error) {
    std::error_code failed;
    fs::create_directories(to.parent_path(), failed);
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, failed);
    return !failed || Fail(error, from.string() + ": " + failed.message() +
                                      " (build the windows-x64 preset first)");
}

class WineDeviceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        rig = new Rig;
        rig->xvfb = testing::XvfbServer::Start({}, &rig->error);
        if (!rig->xvfb) {
            return;
        }
        rig->x = testing::XSession::Open(rig->xvfb->DisplayName());
        rig->mask = SkinMask();
        rig->prefix = testing::WinePrefix::Create(rig->xvfb->DisplayName(), &rig->error);
        if (!rig->prefix || !Install(&rig->error)) {
            rig->prefix.reset();
        }
    }

    static void TearDownTestSuite() {
        delete rig;
        rig = nullptr;
    }

    // The updater's three files as the zip holds them, TEMP a folder of its own, and the
    // driver registered as a demand-start kernel service.
    static bool Install(std::string* error) {
        const fs::path bin = NERITH_WINDOWS_BIN;
        const fs::path drive = rig->prefix->DriveC();
        for (const char* file : {"nerith-update.exe", "ISPdll.dll", "skins/ridozuveza.dll"}) {
            if (!CopyInto(bin / file, drive / "nerith" / file, error)) {
                return false;
            }
        }
        std::error_code failed;
        fs::create_directories(drive / kTempFolder, failed);
        const std::string temp = TempFolder();
        return CopyInto(bin / "korvel.sys", drive / "windows/system32/drivers/korvel.sys", error) &&
               CopyInto(bin / "winekorvel.dll", drive / "windows/system32/winekorvel.dll", error) &&
               rig->prefix->Run({"sc", "create", "korvel", "type=", "kernel", "start=", "demand",
                                 "binPath=", "C:\\windows\\system32\\drivers\\korvel.sys"},
                                kToolTimeout, error) &&
               rig->prefix->SetUserEnvironment("TEMP", temp) &&
               rig->prefix->SetUserEnvironment("TMP", temp) &&
               (rig->recognizer.Load((drive / "nerith/skins/ridozuveza.dll").string(), error) ||
                Fail(error, "skin pictures: " + *error));
    }

    void SetUp() override {
        ASSERT_TRUE(rig->xvfb && rig->x && rig->prefix) << rig->error;
        StartDevice();
    }

    void TearDown() override {
        std::string error;
        // The process started is Wine's start.exe, whose end does not end the updater: after a
        // failure an updater left running would stand in the next case's way. taskkill fails
        // when there is none, which is what a passed case leaves.
        if (HasFailure()) {
            rig->prefix->Run({"taskkill", "/F", "/IM", "nerith-update.exe"}, kToolTimeout, &error);
        }
        updater_.reset();
        if (!temp_.empty()) {
            EXPECT_TRUE(UseTemp(TempFolder()));
        }
        if (serviceStarted_) {
            EXPECT_TRUE(rig->prefix->Run({"sc", "stop", "korvel"}, kToolTimeout, &error)) << error;
        }
        if (relay_) {
            EXPECT_EQ(relay_->Terminate(), 0) << relay_->Stderr();
            EXPECT_EQ(relay_->Stderr(), "") << "the relay complained";
        }
    }

    // nerith-devsim at firmware 1.63, the relay in front of it, and the driver started with
    // the relay's port and token.
    void StartDevice() {
        devsim_ =
            std::make_unique<test::DevsimProcess>(std::vector<std::string>{"--image-version=1,63"});
        ASSERT_TRUE(devsim_->Running()) << devsim_->Error();
        initialFlash_ = devsim_->DumpFlash();
        testing::ProcessOptions options;
        options.argv = {NERITH_KORVEL_RELAY, "--device=" + devsim_->Folder() + "/korvel"};
        std::string error;
        relay_ = testing::ChildProcess::Start(options, &error);
        ASSERT_TRUE(relay_) << error;
        std::string port;
        std::string token;
        ASSERT_TRUE(testing::WaitFor(
            [&]() {
                std::istringstream line(relay_->Stdout());
                return static_cast<bool>(line >> port >> token);
            },
            10s))
            << "the relay never listened: " << relay_->Stderr();
        const std::string parameters = std::string(kService) + "\\Parameters";
        ASSERT_TRUE(rig->prefix->Run(
            {"reg", "add", parameters, "/v", "RelayPort", "/t", "REG_DWORD", "/d", port, "/f"},
            kToolTimeout, &error))
            << error;
        ASSERT_TRUE(rig->prefix->Run(
            {"reg", "add", parameters, "/v", "RelayToken", "/t", "REG_SZ", "/d", token, "/f"},
            kToolTimeout, &error))
            << error;
        ASSERT_TRUE(rig->prefix->Run({"sc", "start", "korvel"}, kToolTimeout, &error)) << error;
        serviceStarted_ = true;
    }

    View StartUpdaterAndShowMain() {
        std::string error;
        auto process = rig->prefix->Start({kUpdater}, rig->prefix->DriveC() + "/nerith", &error,
                                          kMessageBoxChannel);
        EXPECT_TRUE(process) << error;
        if (!process) {
            return {};
        }
        const auto window = testing::WaitForMappedWindow(*rig->x, kTitle, kStartTimeout);
        const std::vector<unsigned long> pid =
            window ? rig->x->Property32(*window, "_NET_WM_PID") : std::vector<unsigned long>{};
        EXPECT_EQ(pid.size(), 1u) << "no main window with a pid; the updater wrote: "
                                  << process->Stderr();
        if (pid.size() != 1) {
            return {};
        }
        updater_ = demo::UpdaterSession::AdoptUnderWine(
            *rig->x, rig->recognizer, std::move(process), static_cast<int>(pid[0]));
        return WaitFor(Screen::Main, kStepTimeout);
    }

    View WaitFor(Screen screen, std::chrono::milliseconds timeout) {
        const std::optional<View> view = updater_->WaitFor(screen, timeout);
        EXPECT_TRUE(view) << "waited for " << demo::ScreenName(screen) << ", saw "
                          << demo::UpdaterSession::Describe(updater_->Current())
                          << "; the updater wrote: " << updater_->Process().Stderr();
        return view.value_or(View{});
    }

    std::string DeviceField(const std::string& command, const std::string& key) {
        auto fields = devsim::ReplyFields(devsim_->Control(command));
        return fields.count(key) ? fields[key] : "";
    }

    // The notice shows, wherever the mask keeps it, the Linux build's screenshot of it.
    static ::testing::AssertionResult ShowsWhatTheLinuxBuildShows(const View& notice,
                                                                  const char* file) {
        std::string error;
        const auto shot =
            testing::ReadPng(std::string(NERITH_SCREENSHOTS_DIR) + "/" + file, &error);
        if (!shot || rig->mask.Empty()) {
            return ::testing::AssertionFailure() << "no screenshot or mask to compare: " << error;
        }
        ::testing::AssertionResult result = ::testing::AssertionFailure();
        testing::WaitFor(
            [&]() {
                result = LooksLikeScreenshot(testing::CaptureScreen(*rig->x, notice.rect),
                                             rig->mask, *shot);
                return static_cast<bool>(result);
            },
            kStepTimeout);
        return result;
    }

    void ExpectExitAfterOk(const View& notice) {
        ASSERT_TRUE(updater_->ClickOk(notice));
        EXPECT_EQ(updater_->Process().Wait(kStepTimeout), 0) << updater_->Process().Stderr();
        EXPECT_EQ(rig->prefix->FilesOn(kTempFolder), std::vector<std::string>{});
    }

    static std::string TempFolder() { return std::string("C:\\") + kTempFolder; }

    // TEMP and TMP for the programs started afterwards; TearDown puts the usual ones back.
    bool UseTemp(const std::string& folder) {
        temp_ = folder;
        return rig->prefix->SetUserEnvironment("TEMP", folder) &&
               rig->prefix->SetUserEnvironment("TMP", folder);
    }

    // What a window manager does for a click on a window: WM_TAKE_FOCUS. Without one Wine
    // never takes the X keyboard by itself. The click lands on the window's top left corner,
    // away from its buttons.
    bool GiveKeyboard(const View& view) {
        testing::XTestDriver input(*rig->x);
        input.Click(POINT{view.rect.left + 8, view.rect.top + 8});
        rig->x->SendClientMessage(
            view.window, "WM_PROTOCOLS",
            {static_cast<long>(rig->x->InternAtom("WM_TAKE_FOCUS")), 0, 0, 0, 0});
        return testing::WaitFor([&]() { return rig->x->KeyboardFocus() == view.window; },
                                kStepTimeout);
    }

    bool ShowedMessageBoxText() {
        std::istringstream lines(updater_->Process().Stderr());
        for (std::string line; std::getline(lines, line);) {
            if (line.find(kMessageBoxLine) != std::string::npos &&
                line.find("\"Couldn't create the file!\"") != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    static const std::vector<std::uint8_t>& ReferenceFlash1() {
        static const std::vector<std::uint8_t> reference = [] {
            test::TempFolder work;
            std::string error;
            return demo::ReferenceFlash1(NERITH_SREC_CAT, NERITH_CARRIED_IMAGE, work.Path(),
                                         &error);
        }();
        return reference;
    }

    std::unique_ptr<test::DevsimProcess> devsim_;
    std::unique_ptr<testing::ChildProcess> relay_;
    std::unique_ptr<demo::UpdaterSession> updater_;
    std::vector<std::uint8_t> initialFlash_;
    bool serviceStarted_ = false;
    std::string temp_;
};

// The semaphore the updater hands over reaches the device, a device event reaches the
// updater's event thread, and the update writes the carried image.
TEST_F(WineDeviceTest, TheUpdateProgramsTheCarriedImageThroughKorvelSys) {
    const View main = StartUpdaterAndShowMain();
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(
        testing::WaitFor([&]() { return DeviceField("state", "semaphore") == "1"; }, kStepTimeout))
        << "the semaphore never reached the device";
    ASSERT_EQ(devsim_->Control(std::string("event ") + kEventWord), "ok");
    EXPECT_TRUE(testing::WaitFor(
        [&]() {
            return DeviceField("stats", "get_event") == "1" &&
                   DeviceField("state", "events") == "0";
        },
        kStepTimeout))
        << "the device's event never reached the updater";
    ASSERT_TRUE(updater_->ClickOk(main));
    updater_->ParkPointer();
    const View notice = WaitFor(Screen::Success, kUpdateTimeout);
    ASSERT_FALSE(HasFailure());
    ASSERT_FALSE(ReferenceFlash1().empty());
    ASSERT_NE(demo::Flash1Of(initialFlash_), ReferenceFlash1()) << "1.63 already holds the image";
    EXPECT_EQ(demo::Flash1Of(devsim_->DumpFlash()), ReferenceFlash1());
    EXPECT_TRUE(ShowsWhatTheLinuxBuildShows(notice, "success-notice.png"));
    ExpectExitAfterOk(notice);
}

// The image cannot be written: the message box, then the failure notice; the device never
// leaves its firmware and nothing is left behind.
TEST_F(WineDeviceTest, ATempThatNamesAMissingFolderShowsCouldntCreateTheFile) {
    ASSERT_TRUE(UseTemp(TempFolder() + "\\missing"));
    const View main = StartUpdaterAndShowMain();
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(updater_->ClickOk(main));
    updater_->ParkPointer();
    const View box = WaitFor(Screen::MessageBox, kStepTimeout);
    ASSERT_FALSE(HasFailure());
    EXPECT_TRUE(testing::WaitFor([&]() { return ShowedMessageBoxText(); }, kStepTimeout))
        << "no message box line; the updater wrote: " << updater_->Process().Stderr();
    ASSERT_TRUE(GiveKeyboard(box)) << "the message box never had the keyboard";
    ASSERT_TRUE(updater_->TapKey("Return"));
    const View notice = WaitFor(Screen::Failure, kStepTimeout);
    ASSERT_FALSE(HasFailure());
    EXPECT_TRUE(ShowsWhatTheLinuxBuildShows(notice, "failure-notice.png"));
    ExpectExitAfterOk(notice);
    EXPECT_EQ(devsim_->Count("enter_icp"), 0u);
    EXPECT_EQ(devsim_->DumpFlash(), initialFlash_);
    EXPECT_FALSE(fs::exists(rig->prefix->DriveC() + "/" + kTempFolder + "/missing"));
}

// korvel.sys runs but nobody serves behind the relay: the driver hands the updater a clean
// failure, neither a hang nor a false success, and OK ends in the failure notice.
TEST_F(WineDeviceTest, WithNerithDevsimGoneOkShowsTheFailureNotice) {
    ASSERT_EQ(devsim_->Stop(), 0);
    const View main = StartUpdaterAndShowMain();
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(updater_->ClickOk(main));
    updater_->ParkPointer();
    const View notice = WaitFor(Screen::Failure, kStepTimeout);
    ASSERT_FALSE(HasFailure());
    ExpectExitAfterOk(notice);
}

} // namespace

} // namespace nerith::e2e
