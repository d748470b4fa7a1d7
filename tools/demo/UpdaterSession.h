// The updater as a user meets it: the running nerith-update process, the screen it shows on
// top, and clicks on that screen's buttons through XTest.
#pragma once

#include "ScreenRecognizer.h"
#include "x11/X11TestSupport.h"

#include <chrono>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

namespace nerith::demo {

// How long the drivers of a whole update (the demo user, the screenshot tour, the bench) give
// a screen to appear, a whole update to end, and the program to exit.
inline constexpr std::chrono::seconds kScreenTimeout{20};
inline constexpr std::chrono::seconds kUpdateTimeout{120};
inline constexpr std::chrono::seconds kExitTimeout{10};

struct UpdaterEnvironment {
    std::string program;                  // the nerith-update binary
    std::string display;                  // ":N"
    std::string deviceDir;                // where nerith-devsim serves \\.\korvel
    std::optional<std::string> temp;      // TEMP; unset when empty
    std::optional<std::string> timeScale; // NERITH_TIME_SCALE; unset when empty
};

struct View {
    testing::XId window = 0;
    RECT rect{}; // root coordinates of the whole window
    Screen screen = Screen::Unknown;
    Recognition recognition;
    testing::Image shot;
};

class UpdaterSession {
public:
    // nullptr and `error` set when the program cannot be started.
    static std::unique_ptr<UpdaterSession> Start(testing::XSession& x,
                                                 const ScreenRecognizer& recognizer,
                                                 const UpdaterEnvironment& environment,
                                                 std::string* error);
    // A program started under Wine: its windows carry `windowPid`, not the loader's pid, and
    // Wine with no window manager maps every window override-redirect, tooltips included (so
    // the caller keeps the pointer off the buttons while it waits for a screen).
    static std::unique_ptr<UpdaterSession>
    AdoptUnderWine(testing::XSession& x, const ScreenRecognizer& recognizer,
                   std::unique_ptr<testing::ChildProcess> process, int windowPid);

    testing::ChildProcess& Process() { return *process_; }
    // The updater's topmost viewable window (tooltips aside), recognised; nullopt when it
    // shows none.
    std::optional<View> Current();
    // Polls until the topmost window is `screen`; nullopt on time-out or when the program
    // ends first.
    std::optional<View> WaitFor(Screen screen, std::chrono::milliseconds timeout);
    // Until the main window answers the pointer: its OK button lights up under it and goes
    // back when it leaves. A run's last steps (the temporary file, the notice's memory) come
    // after its notice has gone, so the main window showing again does not mean the run is
    // over; answering does. False on time-out.
    bool WaitUntilAnswering(const View& main, std::chrono::milliseconds timeout);
    // Polls until the topmost window is any known screen other than `previous`.
    std::optional<View> WaitForChange(Screen previous, std::chrono::milliseconds timeout);

    // Clicks a button of a skinned screen; false when the screen has no such button.
    bool ClickOk(const View& view);
    bool ClickCancel(const View& view);
    // Rests the pointer on OK; false when the screen has no OK button.
    bool HoverOk(const View& view);
    // Types a key once the updater's topmost window has the keyboard, as a user types at a
    // window that is up; false when it never gets it (or the key has no keycode).
    bool TapKey(const std::string& keysym);
    // Holds the keys in order and lets them go in reverse, once the keyboard is there.
    bool KeyChord(std::initializer_list<std::string> keysyms);
    // Whether one of the updater's popup menus is on the screen.
    bool ShowsMenu();
    // The pointer leaves the updater's buttons alone, so no hover picture shows.
    void ParkPointer();

    // "what the screen was" for failure messages: name, mismatch and size.
    static std::string Describe(const std::optional<View>& view);

private:
    UpdaterSession(testing::XSession& x, const ScreenRecognizer& recognizer,
                   std::unique_ptr<testing::ChildProcess> process, int windowPid,
                   bool overrideRedirectShown)
        : x_(x), recognizer_(recognizer), input_(x), process_(std::move(process)),
          windowPid_(windowPid), overrideRedirectShown_(overrideRedirectShown) {}
    bool Click(const View& view, const RECT& button);
    static POINT Centre(const View& view, const RECT& button);
    testing::Image ButtonShot(const View& view, const RECT& button);
    std::optional<testing::XId> TopWindow();
    bool WaitForKeyboard();

    testing::XSession& x_;
    const ScreenRecognizer& recognizer_;
    testing::XTestDriver input_;
    std::unique_ptr<testing::ChildProcess> process_;
    int windowPid_;
    bool overrideRedirectShown_;
};

} // namespace nerith::demo
