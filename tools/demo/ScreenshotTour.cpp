#include "ScreenshotTour.h"

#include "DevsimControl.h"
#include "ProgressBar.h"
#include "SkinPictures.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace nerith::demo {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kPictureTimeout = 5s;
constexpr std::uint32_t kDesktopColour = 0xE4E7EB;
constexpr int kMargin = 12;
// The hovered button's shot leaves room for its tooltip.
constexpr int kTooltipMargin = 40;
// The progress shot is the sample nearest this share of the bar.
constexpr int kProgressShot = 50;
constexpr int kMaskId = 1021;
constexpr int kHoverId = 1018;
constexpr int kPressedId = 1016;
// A point of the main window's background, off its buttons and bar (client coordinates).
constexpr POINT kBackgroundPoint{150, 180};

RECT Grow(const RECT& r, int by) {
    return RECT{r.left - by, r.top - by, r.right + by, r.bottom + by};
}

bool Inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

POINT OnScreen(const View& view, POINT client) {
    return POINT{view.rect.left + kWindowBorder + client.x,
                 view.rect.top + kWindowBorder + client.y};
}

POINT CentreOf(const View& view, const RECT& client) {
    return OnScreen(view,
                    POINT{(client.left + client.right) / 2, (client.top + client.bottom) / 2});
}

bool Fail(std::string* error, const std::string& why) {
    *error = why;
    return false;
}

} // namespace

int ScreenshotTour::Run() {
    std::string error;
    const bool ok = Prepare(&error) && UpdateRun(&error) && UpToDateRun(&error) &&
                    DowngradeRun(&error) && FailureRun(&error);
    for (const std::string& path : saved_) {
        std::printf("  screenshot: %s\n", path.c_str());
    }
    if (!ok) {
        std::fprintf(stderr, "screenshots: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

bool ScreenshotTour::Prepare(std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(options_.work + "/temp", ec);
    std::filesystem::create_directories(options_.out, ec);
    if (ec) {
        return Fail(error, "cannot create the work or output folder: " + ec.message());
    }
    xvfb_ = testing::XvfbServer::Start({}, error);
    if (!xvfb_) {
        return Fail(error, "Xvfb did not start: " + *error);
    }
    x_ = testing::XSession::Open(xvfb_->DisplayName());
    if (!x_) {
        return Fail(error, "cannot open " + xvfb_->DisplayName());
    }
    input_ = std::make_unique<testing::XTestDriver>(*x_);
    if (!input_->Available()) {
        return Fail(error, "the X server has no XTEST extension");
    }
    desktop_ = x_->CreatePlainWindow(x_->ScreenRect(), false);
    x_->MapWindow(desktop_);
    skinDll_ = (std::filesystem::path(options_.updater).parent_path() / "skins" / "ridozuveza.dll")
                   .string();
    return recognizer_.Load(skinDll_, error);
}

bool ScreenshotTour::StartDevice(const std::string& folder,
                                 const std::vector<std::string>& arguments, std::string* error) {
    testing::ProcessOptions options;
    options.argv = {options_.devsim, "--dir=" + folder};
    options.argv.insert(options.argv.end(), arguments.begin(), arguments.end());
    options.unsetEnv = {"NERITH_TIME_SCALE"};
    auto device = testing::ChildProcess::Start(options, error);
    if (!device || !WaitForDevsim(folder, 10000)) {
        return Fail(error, "nerith-devsim did not start in " + folder + ": " + *error +
                               (device ? device->Stderr() : ""));
    }
    devices_.push_back(std::move(device));
    return true;
}

std::unique_ptr<UpdaterSession> ScreenshotTour::StartUpdater(const std::string& deviceFolder,
                                                             std::string* error) {
    UpdaterEnvironment environment;
    environment.program = options_.updater;
    environment.display = xvfb_->DisplayName();
    environment.deviceDir = deviceFolder;
    environment.temp = options_.work + "/temp";
    auto updater = UpdaterSession::Start(*x_, recognizer_, environment, error);
    if (updater) {
        updater->ParkPointer();
    }
    return updater;
}

// A device one version behind, with real flash timing so that the bar moves as on a Nerith:
// the main window, its OK button hovered and pressed, the About box, the bar, the success.
bool ScreenshotTour::UpdateRun(std::string* error) {
    const std::string folder = options_.work + "/behind";
    if (!StartDevice(folder, {"--image-version=1,63", "--timing"}, error)) {
        return false;
    }
    auto updater = StartUpdater(folder, error);
    const std::optional<View> main =
        updater ? updater->WaitFor(Screen::Main, kScreenTimeout) : std::nullopt;
    if (!main ||
        !WaitForCut(*main, RECT{}, LayoutOf(Screen::Main)->backgroundId, kProgressBarRect)) {
        return Fail(error, "no main window: " + *error);
    }
    return Save("main-window.png", Grow(main->rect, kMargin), error) &&
           ButtonShots(*updater, *main, error) && AboutShots(*updater, error) &&
           ProgressShot(*updater, *main, error) &&
           NoticeShot(*updater, Screen::Success, "success-notice.png", true, error);
}

// The same device after a replug runs the image's version now.
bool ScreenshotTour::UpToDateRun(std::string* error) {
    const std::string folder = options_.work + "/behind";
    DevsimCommand(folder, "replug");
    auto updater = StartUpdater(folder, error);
    const std::optional<View> main =
        updater ? updater->WaitFor(Screen::Main, kScreenTimeout) : std::nullopt;
    if (!main) {
        return Fail(error, "no main window for the up-to-date run: " + *error);
    }
    updater->ClickOk(*main);
    updater->ParkPointer();
    return NoticeShot(*updater, Screen::UpToDate, "up-to-date-notice.png", true, error);
}

bool ScreenshotTour::DowngradeRun(std::string* error) {
    const std::string folder = options_.work + "/newer";
    if (!StartDevice(folder, {"--image-version=2,0"}, error)) {
        return false;
    }
    auto updater = StartUpdater(folder, error);
    const std::optional<View> main =
        updater ? updater->WaitFor(Screen::Main, kScreenTimeout) : std::nullopt;
    if (!main) {
        return Fail(error, "no main window for the downgrade run: " + *error);
    }
    updater->ClickOk(*main);
    updater->ParkPointer();
    return NoticeShot(*updater, Screen::Prompt, "downgrade-prompt.png", false, error);
}

// No device at all: the run ends in the failure notice at once.
bool ScreenshotTour::FailureRun(std::string* error) {
    const std::string folder = options_.work + "/none";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    auto updater = StartUpdater(folder, error);
    const std::optional<View> main =
        updater ? updater->WaitFor(Screen::Main, kScreenTimeout) : std::nullopt;
    if (!main) {
        return Fail(error, "no main window for the failure run: " + *error);
    }
    updater->ClickOk(*main);
    updater->ParkPointer();
    return NoticeShot(*updater, Screen::Failure, "failure-notice.png", true, error);
}

// Hovered with its tooltip, then pressed; the press is taken back off the button.
bool ScreenshotTour::ButtonShots(UpdaterSession& updater, const View& main, std::string* error) {
    const RECT ok = LayoutOf(Screen::Main)->ok;
    input_->MovePointer(CentreOf(main, ok));
    if (!WaitForCut(main, ok, kHoverId) ||
        !testing::WaitForMappedWindow(*x_, "OK", kPictureTimeout)) {
        return Fail(error, "the OK button showed no hover picture or no tooltip");
    }
    if (!Save("hover-ok.png", Grow(main.rect, kTooltipMargin), error)) {
        return false;
    }
    input_->ButtonDown();
    if (!WaitForCut(main, ok, kPressedId)) {
        return Fail(error, "the OK button showed no pressed picture");
    }
    if (!Save("pressed-ok.png", Grow(main.rect, kMargin), error)) {
        return false;
    }
    input_->MovePointer(OnScreen(main, kBackgroundPoint));
    input_->ButtonUp();
    updater.ParkPointer();
    if (!WaitForCut(main, ok, LayoutOf(Screen::Main)->backgroundId)) {
        return Fail(error, "the OK button stayed pressed");
    }
    return true;
}

bool ScreenshotTour::AboutShots(UpdaterSession& updater, std::string* error) {
    if (!updater.KeyChord({"Alt_L", "space"}) ||
        !testing::WaitFor([&] { return updater.ShowsMenu(); }, kPictureTimeout)) {
        return Fail(error, "Alt+Space opened no system menu");
    }
    updater.TapKey("Up");
    updater.TapKey("Return");
    const auto about = testing::WaitForMappedWindow(*x_, "About Update", kPictureTimeout);
    const RECT rect = about ? x_->Geometry(*about).value_or(RECT{}) : RECT{};
    const int area = (rect.right - rect.left) * (rect.bottom - rect.top);
    const auto painted = [&] {
        return testing::CountPixels(testing::CaptureScreen(*x_, rect), 0) < area / 4;
    };
    if (!about || !testing::WaitFor(painted, kPictureTimeout)) {
        return Fail(error, "the About box did not show");
    }
    if (!Save("about.png", Grow(rect, kMargin), error) || !Save("about-box.png", rect, error)) {
        return false;
    }
    updater.TapKey("Return");
    if (!testing::WaitUntilHidden(*x_, *about, kPictureTimeout)) {
        return Fail(error, "Enter did not close the About box");
    }
    return true;
}

// Samples the bar until a notice covers the main window; keeps the sample nearest half way.
bool ScreenshotTour::ProgressShot(UpdaterSession& updater, const View& main, std::string* error) {
    updater.ClickOk(main);
    updater.ParkPointer();
    const RECT area = Grow(main.rect, kMargin);
    const RECT window{kMargin, kMargin, kMargin + main.rect.right - main.rect.left,
                      kMargin + main.rect.bottom - main.rect.top};
    x_->FillRect(desktop_, x_->ScreenRect(), kDesktopColour);
    testing::Image best;
    int bestDistance = -1;
    const auto start = Clock::now();
    while (Clock::now() - start < kUpdateTimeout && updater.Process().Running()) {
        const std::optional<View> view = updater.Current();
        if (view && view->screen != Screen::Main && view->screen != Screen::Unknown) {
            break;
        }
        testing::Image shot = testing::CaptureScreen(*x_, area);
        const int green = ReadBarGreen(testing::Crop(shot, window));
        const int distance = std::abs(green - BarGreenFor(kProgressShot));
        if (green > 0 && (bestDistance < 0 || distance < bestDistance)) {
            bestDistance = distance;
            best = std::move(shot);
        }
        std::this_thread::sleep_for(5ms);
    }
    const std::string path = options_.out + "/progress.png";
    if (best.Empty() || !testing::WritePng(path, best, error)) {
        return Fail(error, "no progress screenshot: " + *error);
    }
    saved_.push_back(path);
    return true;
}

bool ScreenshotTour::NoticeShot(UpdaterSession& updater, Screen screen, const char* name,
                                bool pressOk, std::string* error) {
    const std::optional<View> view = updater.WaitFor(screen, kScreenTimeout);
    if (!view || !WaitForCut(*view, RECT{}, LayoutOf(screen)->backgroundId)) {
        return Fail(error, std::string("expected the ") + ScreenName(screen) + ", saw " +
                               UpdaterSession::Describe(updater.Current()));
    }
    if (!Save(name, Grow(view->rect, kMargin), error)) {
        return false;
    }
    const bool clicked = pressOk ? updater.ClickOk(*view) : updater.ClickCancel(*view);
    const std::optional<int> exit = updater.Process().Wait(kExitTimeout);
    if (!clicked || exit != 0) {
        return Fail(error, std::string("the updater did not end after the ") + ScreenName(screen));
    }
    return true;
}

// Until `clientRect` of the window (its whole client area when empty) shows the same
// rectangle of the picture exactly, wherever the mask keeps the window, `except` aside.
bool ScreenshotTour::WaitForCut(const View& view, const RECT& clientRect, int pictureId,
                                const RECT& except) {
    std::string error;
    const testing::Image picture = LoadSkinJpegPicture(skinDll_, pictureId, &error);
    const testing::Image mask = LoadSkinBitmapPicture(skinDll_, kMaskId, &error);
    if (picture.Empty() || mask.Empty()) {
        return false;
    }
    const bool whole = clientRect.right <= clientRect.left;
    const RECT rect =
        whole ? RECT{0, 0, picture.width - kWindowBorder, picture.height - kWindowBorder}
              : clientRect;
    const auto shows = [&] {
        const testing::Image shot = testing::CaptureWindow(*x_, view.window);
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                const POINT at{x + kWindowBorder, y + kWindowBorder};
                if (at.x >= shot.width || at.y >= shot.height) {
                    return false;
                }
                const bool compared = mask.At(at.x, at.y) != 0xFFFFFF && !Inside(except, x, y);
                if (compared && shot.At(at.x, at.y) != picture.At(x, y)) {
                    return false;
                }
            }
        }
        return true;
    };
    return testing::WaitFor(shows, kPictureTimeout);
}

// What a person sees there, over the plain desktop (which nobody repaints, so it is filled
// again first).
bool ScreenshotTour::Save(const std::string& name, const RECT& area, std::string* error) {
    x_->FillRect(desktop_, x_->ScreenRect(), kDesktopColour);
    x_->Sync();
    const std::string path = options_.out + "/" + name;
    if (!testing::WritePng(path, testing::CaptureScreen(*x_, area), error)) {
        return Fail(error, "cannot write " + path + ": " + *error);
    }
    saved_.push_back(path);
    return true;
}

} // namespace nerith::demo
