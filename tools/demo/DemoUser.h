// The demo: a device one version behind the carried image, one update run that rewrites its
// flash, a replug, and a second run that finds the device up to date. Under Xvfb an automated
// user presses the buttons and takes screenshots; on the user's display the user does.
#pragma once

#include "DemoOptions.h"
#include "ScreenRecognizer.h"
#include "UpdaterSession.h"

#include <memory>
#include <string>

namespace nerith::demo {

class DemoUser {
public:
    explicit DemoUser(DemoOptions options) : options_(std::move(options)) {}
    // 0 when the flash holds the image and both runs ended as they should.
    int Run();

private:
    struct UpdateRun {
        Screen notice = Screen::Unknown;
        double seconds = 0;
        std::optional<int> exitCode;
        std::string stderrText;
    };

    bool Prepare(std::string* error);
    bool StartDevice(std::string* error);
    bool StartDisplay(std::string* error);
    UpdaterEnvironment Environment() const;
    UpdateRun AutomatedUpdate(std::string* error);
    UpdateRun AutomatedUpToDate(std::string* error);
    UpdateRun InteractiveRun(const char* instructions, std::string* error);
    void FollowProgress(UpdaterSession& updater, const View& main, UpdateRun& run,
                        std::optional<View>& notice);
    bool SaveShot(const std::string& name, const testing::Image& image);
    int Report(const UpdateRun& update, const UpdateRun& upToDate, unsigned versionBefore,
               const std::string& requests);

    DemoOptions options_;
    std::string deviceDir_;
    std::string tempDir_;
    std::unique_ptr<testing::ChildProcess> devsim_;
    std::unique_ptr<testing::XvfbServer> xvfb_;
    std::unique_ptr<testing::XSession> x_;
    ScreenRecognizer recognizer_;
    std::vector<std::string> screenshots_;
};

} // namespace nerith::demo
