// One updater run per test: a private Xvfb, a private nerith-devsim, a private TEMP folder,
// and nerith-update started with the platform's time scale so its waits take milliseconds.
#pragma once

#include "DevsimProcess.h"
#include "ScreenRecognizer.h"
#include "UpdaterSession.h"
#include "x11/X11TestSupport.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nerith::e2e {

using demo::Screen;
using demo::View;
using namespace std::chrono_literals;

constexpr auto kScreenTimeout = 20s;
constexpr auto kExitTimeout = 10s;

class UpdateTest : public testing::XvfbTest {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // The device, with nerith-devsim's options; its flash as it starts is kept.
    void StartDevice(const std::vector<std::string>& arguments);
    // The updater; TEMP is the test's own folder unless `temp` says otherwise.
    void StartUpdater(std::optional<std::string> temp = std::nullopt);
    // Device and updater, then the main window.
    View StartAndShowMain(const std::vector<std::string>& deviceArguments);

    View WaitFor(Screen screen, std::chrono::milliseconds timeout = kScreenTimeout);
    void ExpectExitAfterOk(const View& notice);
    // OK on the main window with an unusable TEMP: the message box, then the failure notice,
    // and the device never leaves its firmware.
    void ExpectMessageBoxThenFailure();
    std::vector<std::string> TempFiles() const;
    unsigned DeviceCount(const std::string& kind) { return devsim_->Count(kind); }
    std::vector<std::uint8_t> Flash() { return devsim_->DumpFlash(); }
    std::string UpdaterStderr() { return updater_->Process().Stderr(); }
    // How often `text` appears on the updater's standard error.
    int CountInStderr(const std::string& text);

    static const std::vector<std::uint8_t>& ReferenceFlash1();

    static demo::ScreenRecognizer* recognizer_;
    std::unique_ptr<test::DevsimProcess> devsim_;
    std::unique_ptr<test::TempFolder> temp_;
    std::unique_ptr<demo::UpdaterSession> updater_;
    std::vector<std::uint8_t> initialFlash_;
    std::string deviceDir_;
};

} // namespace nerith::e2e
