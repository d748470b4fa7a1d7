// The real nerith-update under a private Xvfb with no window manager, driven through XTest.
// Each test starts its own updater with a private device folder (empty unless the test
// starts a nerith-devsim there) and TEMP. With NERITH_SCREENSHOT_DIR set, the tests also
// save what they see as PNG files there.
#pragma once

#include "DevsimProcess.h"
#include "SkinPixels.h"
#include "x11/X11TestSupport.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace nerith::e2e {

using namespace std::chrono_literals;

// Client rectangles of the main window.
constexpr RECT kOk{187, 231, 217, 248};
constexpr RECT kCancel{257, 231, 301, 248};
constexpr RECT kBar{24, 90, 356, 134};
constexpr RECT kBackground{145, 175, 155, 185};
constexpr std::uint32_t kGreen = 0x0000FF00;
constexpr std::uint32_t kBlack = 0x00000000;

class UpdaterWindowTest : public testing::XvfbTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A nerith-devsim in the device folder, with its options.
    void StartDevice(const std::vector<std::string>& arguments);
    // Starts the updater and waits for its main window; returns how long that took. The
    // updater's waits are scaled by `timeScale`.
    std::chrono::milliseconds StartUpdater(const std::string& timeScale = "0.01");

    testing::XId Main() const { return main_; }
    RECT MainRect();
    POINT ScreenAt(RECT clientRect);
    // Until the window has the X keyboard, as a window that is up and typed into has.
    bool WaitForKeyboard(testing::XId window);
    // A mapped window of the updater other than the main window, if one appears in time.
    std::optional<testing::XId> WaitForPopup(std::chrono::milliseconds timeout = 5s);
    // The window's pixels as the screen shows them.
    testing::Image Shown(testing::XId window);
    // Whether the client rectangle of the window shows the picture's same rectangle.
    bool ShowsCut(testing::XId window, RECT clientRect, const testing::Image& picture);
    bool WaitUntilShowsCut(testing::XId window, RECT clientRect, const testing::Image& picture);
    // The window shows the picture wherever the mask keeps it, except inside `except`.
    ::testing::AssertionResult ShowsPicture(testing::XId window, const testing::Image& picture,
                                            RECT except = RECT{0, 0, 0, 0});
    ::testing::AssertionResult ShapedLikeTheMask(testing::XId window, testing::ShapeKind kind);
    bool UpdaterRunning() { return updater_ && updater_->Running(); }
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout = 5s);
    // Saves the screen around `area` when screenshots are asked for.
    void SaveScreenshot(const std::string& name, RECT area);

    testing::Image mask_;
    std::unique_ptr<test::TempFolder> folder_;
    std::unique_ptr<test::DevsimProcess> devsim_;
    std::unique_ptr<testing::ChildProcess> updater_;
    testing::XId main_ = 0;
    testing::XId backdrop_ = 0;
};

} // namespace nerith::e2e
