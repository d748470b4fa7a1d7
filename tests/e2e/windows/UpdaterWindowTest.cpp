#include "UpdaterWindowTest.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace nerith::e2e {

namespace {

constexpr std::uint32_t kBackdrop = 0x00E4E7EB;

bool Inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

} // namespace

void UpdaterWindowTest::SetUp() {
    testing::XvfbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    mask_ = SkinMask();
    folder_ = std::make_unique<test::TempFolder>();
    std::filesystem::create_directories(folder_->File("device"));
    std::filesystem::create_directories(folder_->File("temp"));
    // A plain desktop beneath, so what shows through the window's cut-outs is known.
    backdrop_ = session_->CreatePlainWindow(session_->ScreenRect(), false);
    session_->MapWindow(backdrop_);
    session_->FillRect(backdrop_, session_->ScreenRect(), kBackdrop);
    session_->Sync();
}

void UpdaterWindowTest::TearDown() {
    if (updater_) {
        updater_->Terminate();
    }
    updater_.reset();
    devsim_.reset();
    folder_.reset();
    testing::XvfbTest::TearDown();
}

void UpdaterWindowTest::StartDevice(const std::vector<std::string>& arguments) {
    devsim_ = std::make_unique<test::DevsimProcess>(arguments);
    ASSERT_TRUE(devsim_->Running()) << devsim_->Error();
}

std::chrono::milliseconds UpdaterWindowTest::StartUpdater(const std::string& timeScale) {
    testing::ProcessOptions options;
    options.argv = {NERITH_UPDATER_PATH};
    const std::string deviceDir = devsim_ ? devsim_->Folder() : folder_->File("device");
    options.setEnv = {{"DISPLAY", server_->DisplayName()},
                      {"NERITH_DISPLAY", "x11"},
                      {"NERITH_DEVICE_DIR", deviceDir},
                      {"TEMP", folder_->File("temp")},
                      {"NERITH_TIME_SCALE", timeScale}};
    const auto started = std::chrono::steady_clock::now();
    std::string error;
    updater_ = testing::ChildProcess::Start(options, &error);
    EXPECT_TRUE(updater_) << error;
    if (!updater_) {
        return std::chrono::milliseconds::max();
    }
    const auto window = testing::WaitForMappedWindow(*session_, "Nerith updater", 10s);
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    EXPECT_TRUE(window) << "no main window; the updater said: " << updater_->Stderr();
    main_ = window.value_or(0);
    return elapsed;
}

RECT UpdaterWindowTest::MainRect() {
    return session_->Geometry(main_).value_or(RECT{});
}

POINT UpdaterWindowTest::ScreenAt(RECT clientRect) {
    const RECT window = MainRect();
    return POINT{window.left + 1 + (clientRect.left + clientRect.right) / 2,
                 window.top + 1 + (clientRect.top + clientRect.bottom) / 2};
}

bool UpdaterWindowTest::WaitForKeyboard(testing::XId window) {
    return testing::WaitFor([&]() { return session_->KeyboardFocus() == window; }, 5s);
}

std::optional<testing::XId> UpdaterWindowTest::WaitForPopup(std::chrono::milliseconds timeout) {
    std::optional<testing::XId> popup;
    testing::WaitFor(
        [&]() {
            for (const testing::XId w : testing::TopLevelWindows(*session_)) {
                const auto rect = session_->Geometry(w);
                if (w != main_ && w != backdrop_ && session_->IsMapped(w) && rect &&
                    rect->right - rect->left == mask_.width &&
                    rect->bottom - rect->top == mask_.height) {
                    popup = w;
                    return true;
                }
            }
            return false;
        },
        timeout);
    return popup;
}

testing::Image UpdaterWindowTest::Shown(testing::XId window) {
    return testing::CaptureScreen(*session_, session_->Geometry(window).value_or(RECT{}));
}

bool UpdaterWindowTest::ShowsCut(testing::XId window, RECT clientRect,
                                 const testing::Image& picture) {
    const RECT inWindow{clientRect.left + 1, clientRect.top + 1, clientRect.right + 1,
                        clientRect.bottom + 1};
    return !testing::FirstDifference(testing::Crop(Shown(window), inWindow),
                                     testing::Crop(picture, clientRect));
}

bool UpdaterWindowTest::WaitUntilShowsCut(testing::XId window, RECT clientRect,
                                          const testing::Image& picture) {
    return testing::WaitFor([&]() { return ShowsCut(window, clientRect, picture); }, 3s);
}

::testing::AssertionResult
UpdaterWindowTest::ShowsPicture(testing::XId window, const testing::Image& picture, RECT except) {
    const testing::Image shown = Shown(window);
    if (shown.width != mask_.width || shown.height != mask_.height) {
        return ::testing::AssertionFailure()
               << "the window is " << shown.width << " x " << shown.height;
    }
    for (int y = 1; y < shown.height; ++y) {
        for (int x = 1; x < shown.width; ++x) {
            if (!MaskKeeps(mask_, x, y) || Inside(except, x - 1, y - 1)) {
                continue;
            }
            if (shown.At(x, y) != picture.At(x - 1, y - 1)) {
                std::ostringstream text;
                text << "client (" << x - 1 << ", " << y - 1 << ") shows 0x" << std::hex
                     << shown.At(x, y) << ", the picture has 0x" << picture.At(x - 1, y - 1);
                return ::testing::AssertionFailure() << text.str();
            }
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult UpdaterWindowTest::ShapedLikeTheMask(testing::XId window,
                                                                testing::ShapeKind kind) {
    return ShapeFollowsTheMask(session_->ShapeRects(window, kind), mask_);
}

std::optional<int> UpdaterWindowTest::WaitForExit(std::chrono::milliseconds timeout) {
    return updater_->Wait(timeout);
}

void UpdaterWindowTest::SaveScreenshot(const std::string& name, RECT area) {
    const char* dir = std::getenv("NERITH_SCREENSHOT_DIR");
    if (!dir || !*dir) {
        return;
    }
    // Nobody repaints the backdrop where a dragged window was; its drawing stays beneath the
    // windows above it.
    session_->FillRect(backdrop_, session_->ScreenRect(), kBackdrop);
    session_->Sync();
    std::string error;
    EXPECT_TRUE(testing::WritePng(std::string(dir) + "/" + name + ".png",
                                  testing::CaptureScreen(*session_, area), &error))
        << error;
}

} // namespace nerith::e2e
