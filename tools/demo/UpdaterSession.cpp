#include "UpdaterSession.h"

#include <thread>

namespace nerith::demo {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPollInterval = std::chrono::milliseconds(5);
constexpr auto kKeyboardTimeout = std::chrono::seconds(10);

bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

} // namespace

std::unique_ptr<UpdaterSession> UpdaterSession::Start(testing::XSession& x,
                                                      const ScreenRecognizer& recognizer,
                                                      const UpdaterEnvironment& environment,
                                                      std::string* error) {
    testing::ProcessOptions options;
    options.argv = {environment.program};
    options.setEnv = {{"DISPLAY", environment.display},
                      {"NERITH_DISPLAY", "x11"},
                      {"NERITH_DEVICE_DIR", environment.deviceDir}};
    if (environment.temp) {
        options.setEnv.emplace_back("TEMP", *environment.temp);
    } else {
        options.unsetEnv.push_back("TEMP");
    }
    if (environment.timeScale) {
        options.setEnv.emplace_back("NERITH_TIME_SCALE", *environment.timeScale);
    } else {
        options.unsetEnv.push_back("NERITH_TIME_SCALE");
    }
    auto process = testing::ChildProcess::Start(options, error);
    if (!process) {
        return nullptr;
    }
    const int pid = process->pid();
    return std::unique_ptr<UpdaterSession>(
        new UpdaterSession(x, recognizer, std::move(process), pid, false));
}

std::unique_ptr<UpdaterSession>
UpdaterSession::AdoptUnderWine(testing::XSession& x, const ScreenRecognizer& recognizer,
                               std::unique_ptr<testing::ChildProcess> process, int windowPid) {
    return std::unique_ptr<UpdaterSession>(
        new UpdaterSession(x, recognizer, std::move(process), windowPid, true));
}

std::optional<testing::XId> UpdaterSession::TopWindow() {
    std::optional<testing::XId> top;
    for (testing::XId window : testing::FindWindowsByPid(x_, windowPid_)) {
        if (x_.IsMapped(window) && (overrideRedirectShown_ || !x_.IsOverrideRedirect(window))) {
            top = window;
        }
    }
    return top;
}

std::optional<View> UpdaterSession::Current() {
    const std::optional<testing::XId> top = TopWindow();
    if (!top) {
        return std::nullopt;
    }
    const auto rect = x_.Geometry(*top);
    if (!rect) {
        return std::nullopt;
    }
    View view;
    view.window = *top;
    view.rect = *rect;
    view.shot = testing::CaptureWindow(x_, *top);
    const SIZE skin = recognizer_.PictureSize();
    if (view.shot.width != skin.cx || view.shot.height != skin.cy) {
        view.screen = view.shot.Empty() ? Screen::Unknown : Screen::MessageBox;
        return view;
    }
    view.recognition = recognizer_.Recognize(view.shot);
    view.screen = view.recognition.screen;
    return view;
}

std::optional<View> UpdaterSession::WaitFor(Screen screen, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        std::optional<View> view = Current();
        if (view && view->screen == screen) {
            return view;
        }
        if (Clock::now() > deadline || !process_->Running()) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

std::optional<View> UpdaterSession::WaitForChange(Screen previous,
                                                  std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        std::optional<View> view = Current();
        if (view && view->screen != previous && view->screen != Screen::Unknown) {
            return view;
        }
        if (Clock::now() > deadline || !process_->Running()) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

bool UpdaterSession::WaitForKeyboard() {
    return testing::WaitFor(
        [&] {
            const std::optional<testing::XId> top = TopWindow();
            return top && x_.KeyboardFocus() == *top;
        },
        kKeyboardTimeout);
}

bool UpdaterSession::TapKey(const std::string& keysym) {
    return WaitForKeyboard() && input_.TapKey(keysym);
}

bool UpdaterSession::KeyChord(std::initializer_list<std::string> keysyms) {
    return WaitForKeyboard() && input_.Chord(keysyms);
}

bool UpdaterSession::ShowsMenu() {
    for (testing::XId window : testing::FindWindowsByPid(x_, windowPid_)) {
        const std::vector<std::string> types = x_.AtomProperty(window, "_NET_WM_WINDOW_TYPE");
        const bool menu = !types.empty() && types.front() == "_NET_WM_WINDOW_TYPE_POPUP_MENU";
        if (menu && x_.IsMapped(window)) {
            return true;
        }
    }
    return false;
}

testing::Image UpdaterSession::ButtonShot(const View& view, const RECT& button) {
    const RECT area{view.rect.left + kWindowBorder + button.left,
                    view.rect.top + kWindowBorder + button.top,
                    view.rect.left + kWindowBorder + button.right,
                    view.rect.top + kWindowBorder + button.bottom};
    return testing::CaptureScreen(x_, area);
}

bool UpdaterSession::WaitUntilAnswering(const View& main, std::chrono::milliseconds timeout) {
    const ScreenLayout* layout = LayoutOf(main.screen);
    const testing::Image* background = recognizer_.Background(main.screen);
    if (!layout || !background) {
        return false;
    }
    const testing::Image resting = testing::Crop(*background, layout->ok);
    const auto differs = [&] {
        return testing::FirstDifference(ButtonShot(main, layout->ok), resting).has_value();
    };
    input_.MovePointer(Centre(main, layout->ok));
    if (!testing::WaitFor(differs, timeout)) {
        return false;
    }
    ParkPointer();
    return testing::WaitFor([&] { return !differs(); }, timeout);
}

bool UpdaterSession::Click(const View& view, const RECT& button) {
    if (IsEmpty(button)) {
        return false;
    }
    const POINT centre = Centre(view, button);
    input_.MovePointer(centre);
    input_.Click(centre);
    return true;
}

POINT UpdaterSession::Centre(const View& view, const RECT& button) {
    return POINT{view.rect.left + kWindowBorder + (button.left + button.right) / 2,
                 view.rect.top + kWindowBorder + (button.top + button.bottom) / 2};
}

bool UpdaterSession::HoverOk(const View& view) {
    const ScreenLayout* layout = LayoutOf(view.screen);
    if (!layout || IsEmpty(layout->ok)) {
        return false;
    }
    input_.MovePointer(Centre(view, layout->ok));
    return true;
}

bool UpdaterSession::ClickOk(const View& view) {
    const ScreenLayout* layout = LayoutOf(view.screen);
    return layout && Click(view, layout->ok);
}

bool UpdaterSession::ClickCancel(const View& view) {
    const ScreenLayout* layout = LayoutOf(view.screen);
    return layout && Click(view, layout->cancel);
}

void UpdaterSession::ParkPointer() {
    const RECT screen = x_.ScreenRect();
    input_.MovePointer(POINT{screen.right - 1, screen.bottom - 1});
}

std::string UpdaterSession::Describe(const std::optional<View>& view) {
    if (!view) {
        return "no window";
    }
    return std::string(ScreenName(view->screen)) + " (" + std::to_string(view->shot.width) + "x" +
           std::to_string(view->shot.height) + ", mismatch " +
           std::to_string(view->recognition.mismatch) + ", runner-up " +
           std::to_string(view->recognition.secondMismatch) + ")";
}

} // namespace nerith::demo
