// The screenshots of docs/screenshots, taken from real runs: nerith-update against
// nerith-devsim under a private Xvfb, driven as the demo's automated user drives it. Each
// shot is the screen around the window, over a plain light desktop.
#pragma once

#include "DemoOptions.h"
#include "UpdaterSession.h"

#include <memory>
#include <string>
#include <vector>

namespace nerith::demo {

class ScreenshotTour {
public:
    explicit ScreenshotTour(DemoOptions options) : options_(std::move(options)) {}
    // 0 when every screenshot was taken.
    int Run();

private:
    bool Prepare(std::string* error);
    bool StartDevice(const std::string& folder, const std::vector<std::string>& arguments,
                     std::string* error);
    std::unique_ptr<UpdaterSession> StartUpdater(const std::string& deviceFolder,
                                                 std::string* error);
    bool UpdateRun(std::string* error);
    bool UpToDateRun(std::string* error);
    bool DowngradeRun(std::string* error);
    bool FailureRun(std::string* error);
    bool ButtonShots(UpdaterSession& updater, const View& main, std::string* error);
    bool AboutShots(UpdaterSession& updater, std::string* error);
    bool ProgressShot(UpdaterSession& updater, const View& main, std::string* error);
    bool NoticeShot(UpdaterSession& updater, Screen screen, const char* name, bool pressOk,
                    std::string* error);
    bool WaitForCut(const View& view, const RECT& clientRect, int pictureId,
                    const RECT& except = RECT{});
    bool Save(const std::string& name, const RECT& area, std::string* error);

    DemoOptions options_;
    std::unique_ptr<testing::XvfbServer> xvfb_;
    std::unique_ptr<testing::XSession> x_;
    std::unique_ptr<testing::XTestDriver> input_;
    testing::XId desktop_ = 0;
    ScreenRecognizer recognizer_;
    std::string skinDll_;
    std::vector<std::unique_ptr<testing::ChildProcess>> devices_;
    std::vector<std::string> saved_;
};

} // namespace nerith::demo
