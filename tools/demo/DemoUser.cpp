#include "DemoUser.h"
#include "CarriedImage.h"
#include "DebuggerLines.h"
#include "DevsimControl.h"
#include "ProgressBar.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace nerith::demo {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kUserTimeout = 600s;
constexpr unsigned kImageVersion = 164;
// The progress screenshot is the sample nearest this share of the bar.
constexpr int kProgressShot = 75;

unsigned VersionIn(const std::string& stateReply) {
    const std::string bytes = devsim::ReplyFields(stateReply)["version"];
    unsigned high = 0;
    unsigned low = 0;
    if (std::sscanf(bytes.c_str(), "%u,%u", &high, &low) != 2) {
        return 0;
    }
    return high * 100 + low;
}

std::string DeviceRequests(const std::string& deviceDir) {
    auto stats = devsim::ReplyFields(DevsimCommand(deviceDir, "stats"));
    std::string text;
    for (const char* kind : {"enter_icp", "isp_open", "verify", "erase", "program"}) {
        text += std::string(text.empty() ? "" : " ") + kind + "=" +
                (stats.count(kind) ? stats[kind] : "0");
    }
    return text;
}

std::string DescribeExit(const std::optional<int>& exitCode) {
    return exitCode ? "exit " + std::to_string(*exitCode) : "still running";
}

} // namespace

int DemoUser::Run() {
    std::string error;
    if (!Prepare(&error)) {
        std::fprintf(stderr, "demo: %s\n", error.c_str());
        return 1;
    }
    const unsigned versionBefore = VersionIn(DevsimCommand(deviceDir_, "state"));
    UpdateRun update = options_.interactive
                           ? InteractiveRun("press OK to update, then OK on the notice", &error)
                           : AutomatedUpdate(&error);
    if (!error.empty()) {
        std::fprintf(stderr, "demo: first run: %s\n", error.c_str());
    }
    const std::string requests = DeviceRequests(deviceDir_);
    DevsimCommand(deviceDir_, "replug");
    std::string secondError;
    UpdateRun upToDate =
        options_.interactive
            ? InteractiveRun("press OK again: the device is up to date now", &secondError)
            : AutomatedUpToDate(&secondError);
    if (!secondError.empty()) {
        std::fprintf(stderr, "demo: second run: %s\n", secondError.c_str());
    }
    return Report(update, upToDate, versionBefore, requests);
}

bool DemoUser::Prepare(std::string* error) {
    deviceDir_ = options_.work + "/devices";
    tempDir_ = options_.work + "/temp";
    std::error_code ec;
    std::filesystem::create_directories(tempDir_, ec);
    std::filesystem::create_directories(options_.out, ec);
    if (ec) {
        *error = "cannot create " + tempDir_ + " or " + options_.out + ": " + ec.message();
        return false;
    }
    if (!StartDevice(error)) {
        return false;
    }
    return options_.interactive || StartDisplay(error);
}

// The device runs with its real flash timing, so the bar moves as it would on a Nerith.
bool DemoUser::StartDevice(std::string* error) {
    testing::ProcessOptions options;
    options.argv = {options_.devsim, "--dir=" + deviceDir_, "--image-version=1,63", "--timing"};
    options.unsetEnv = {"NERITH_TIME_SCALE"};
    devsim_ = testing::ChildProcess::Start(options, error);
    if (!devsim_ || !WaitForDevsim(deviceDir_, 10000)) {
        *error = "nerith-devsim did not start: " + *error + (devsim_ ? devsim_->Stderr() : "");
        return false;
    }
    return true;
}

bool DemoUser::StartDisplay(std::string* error) {
    xvfb_ = testing::XvfbServer::Start({}, error);
    if (!xvfb_) {
        *error = "Xvfb did not start: " + *error;
        return false;
    }
    x_ = testing::XSession::Open(xvfb_->DisplayName());
    if (!x_) {
        *error = "cannot open " + xvfb_->DisplayName();
        return false;
    }
    const auto skin =
        std::filesystem::path(options_.updater).parent_path() / "skins" / "ridozuveza.dll";
    return recognizer_.Load(skin.string(), error);
}

UpdaterEnvironment DemoUser::Environment() const {
    UpdaterEnvironment environment;
    environment.program = options_.updater;
    environment.display = xvfb_ ? xvfb_->DisplayName() : "";
    environment.deviceDir = deviceDir_;
    environment.temp = tempDir_;
    return environment;
}

bool DemoUser::SaveShot(const std::string& name, const testing::Image& image) {
    const std::string path = options_.out + "/" + name;
    std::string error;
    if (image.Empty() || !testing::WritePng(path, image, &error)) {
        std::fprintf(stderr, "demo: no screenshot %s %s\n", path.c_str(), error.c_str());
        return false;
    }
    screenshots_.push_back(path);
    return true;
}

// Samples the bar until a notice covers the main window; keeps a mid-way screenshot.
void DemoUser::FollowProgress(UpdaterSession& updater, const View& main, UpdateRun& run,
                              std::optional<View>& notice) {
    const auto start = Clock::now();
    testing::Image progressShot;
    int bestDistance = -1;
    while (Clock::now() - start < kUpdateTimeout && updater.Process().Running()) {
        std::optional<View> view = updater.Current();
        if (view && view->screen != Screen::Main && view->screen != Screen::Unknown) {
            notice = view;
            break;
        }
        const testing::Image shot = testing::CaptureWindow(*x_, main.window);
        const int distance = std::abs(ReadBarGreen(shot) - BarGreenFor(kProgressShot));
        if (!shot.Empty() && (bestDistance < 0 || distance < bestDistance)) {
            bestDistance = distance;
            progressShot = shot;
        }
        std::this_thread::sleep_for(5ms);
    }
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    SaveShot("2-progress.png", progressShot);
}

DemoUser::UpdateRun DemoUser::AutomatedUpdate(std::string* error) {
    UpdateRun run;
    auto updater = UpdaterSession::Start(*x_, recognizer_, Environment(), error);
    if (!updater) {
        return run;
    }
    updater->ParkPointer();
    const std::optional<View> main = updater->WaitFor(Screen::Main, kScreenTimeout);
    if (!main) {
        *error = "no main window: " + UpdaterSession::Describe(updater->Current());
        return run;
    }
    SaveShot("1-main-window.png", main->shot);
    updater->ClickOk(*main);
    updater->ParkPointer();
    std::optional<View> notice;
    FollowProgress(*updater, *main, run, notice);
    if (notice) {
        run.notice = notice->screen;
        SaveShot(notice->screen == Screen::Success ? "3-success-notice.png" : "3-notice.png",
                 notice->shot);
        updater->ClickOk(*notice);
    }
    run.exitCode = updater->Process().Wait(kExitTimeout);
    run.stderrText = updater->Process().Stderr();
    return run;
}

DemoUser::UpdateRun DemoUser::AutomatedUpToDate(std::string* error) {
    UpdateRun run;
    auto updater = UpdaterSession::Start(*x_, recognizer_, Environment(), error);
    if (!updater) {
        return run;
    }
    updater->ParkPointer();
    const std::optional<View> main = updater->WaitFor(Screen::Main, kScreenTimeout);
    if (!main) {
        *error = "no main window: " + UpdaterSession::Describe(updater->Current());
        return run;
    }
    const auto start = Clock::now();
    updater->ClickOk(*main);
    updater->ParkPointer();
    const std::optional<View> notice = updater->WaitForChange(Screen::Main, kScreenTimeout);
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (notice) {
        run.notice = notice->screen;
        SaveShot("4-up-to-date-notice.png", notice->shot);
        updater->ClickOk(*notice);
    }
    run.exitCode = updater->Process().Wait(kExitTimeout);
    run.stderrText = updater->Process().Stderr();
    return run;
}

// On the user's display the user presses the buttons; the demo waits for the program to end.
DemoUser::UpdateRun DemoUser::InteractiveRun(const char* instructions, std::string* error) {
    UpdateRun run;
    testing::ProcessOptions options;
    options.argv = {options_.updater};
    options.setEnv = {{"NERITH_DEVICE_DIR", deviceDir_}, {"TEMP", tempDir_}};
    options.unsetEnv = {"NERITH_TIME_SCALE"};
    std::printf("demo: %s\n", instructions);
    std::fflush(stdout);
    const auto start = Clock::now();
    auto updater = testing::ChildProcess::Start(options, error);
    if (!updater) {
        return run;
    }
    run.exitCode = updater->Wait(kUserTimeout);
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.stderrText = updater->Stderr();
    return run;
}

int DemoUser::Report(const UpdateRun& update, const UpdateRun& upToDate, unsigned versionBefore,
                     const std::string& requests) {
    std::string error;
    const auto reference = ReferenceFlash1(options_.srecCat, options_.image, options_.work, &error);
    const auto flash = Flash1Of(DumpDevsimFlash(deviceDir_, options_.work + "/flash.bin"));
    const bool flashHoldsImage = !reference.empty() && flash == reference;
    const unsigned versionAfter = VersionIn(DevsimCommand(deviceDir_, "state"));
    const auto updateLines = DebuggerLinesIn(update.stderrText);
    const auto secondLines = DebuggerLinesIn(upToDate.stderrText);

    std::printf("  device version before:      %u (carried image: %u)\n", versionBefore,
                kImageVersion);
    std::printf("  first run:                  %s after %.1f s, %s\n",
                options_.interactive ? "ended" : ScreenName(update.notice), update.seconds,
                DescribeExit(update.exitCode).c_str());
    std::printf("  stages run:                 %s\n", DescribeStages(updateLines).c_str());
    std::printf("  device requests:            %s\n", requests.c_str());
    std::printf("  flash #1 0x7000-0xEDFF:     %s\n",
                flashHoldsImage     ? "equal to the carried image, byte for byte"
                : reference.empty() ? ("not compared: " + error).c_str()
                                    : "DIFFERS from the carried image");
    std::printf("  device version after replug: %u\n", versionAfter);
    std::printf("  second run:                 %s (%s), %s\n",
                options_.interactive ? "ended" : ScreenName(upToDate.notice),
                DescribeStages(secondLines).c_str(), DescribeExit(upToDate.exitCode).c_str());
    for (const std::string& path : screenshots_) {
        std::printf("  screenshot:                 %s\n", path.c_str());
    }
    const bool automatedOk =
        options_.interactive || (update.notice == Screen::Success &&
                                 upToDate.notice == Screen::UpToDate && screenshots_.size() == 4);
    const bool ok = flashHoldsImage && versionAfter == kImageVersion && automatedOk &&
                    update.exitCode == 0 && upToDate.exitCode == 0;
    std::printf("  result:                     %s\n", ok ? "PASS" : "FAIL");
    return ok ? 0 : 1;
}

} // namespace nerith::demo
