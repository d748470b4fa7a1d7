// Helpers for tests that see Win32 only through its public API, so that they build against our
// substitute and against real Win32 alike: a window class that logs what it receives, pumping
// the queue, and a fixture that starts every test from an idle queue.
#pragma once

#include "platform/kernel32.h"
#include "platform/user32.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

namespace win32test {

struct Logged {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Every window of class "Win32TestLog" records what it receives (but the hit tests and the
// set-cursor queries, which depend on where the pointer happens to be), then hands it to
// DefWindowProcA unless the hook answered it.
class MessageLog {
public:
    static MessageLog& Get();
    void Clear() { entries_.clear(); }
    const std::vector<Logged>& Entries() const { return entries_; }
    // The messages received by hwnd, in order, restricted to `only` when not empty.
    std::vector<UINT> Of(HWND hwnd, const std::vector<UINT>& only = {}) const;
    // The messages in `only` received by any logging window, in order.
    std::vector<UINT> All(const std::vector<UINT>& only) const;
    void Add(const Logged& entry) { entries_.push_back(entry); }

    // Lets a test answer a message itself: return true to stop default processing.
    std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)> hook;

private:
    std::vector<Logged> entries_;
};

// Destroys a window at the end of a test's scope, unless the test already did.
struct WindowDestroyer {
    void operator()(HWND hwnd) const;
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

LPCSTR LogClass();
HWND CreateLogWindow(DWORD style, int x, int y, int width, int height, HWND parent = nullptr,
                     int id = 0, DWORD exStyle = 0);
// Handles every message that is waiting, without waiting for more.
void Pump();
// Pumps for the given time, for timers and delayed work.
void PumpFor(DWORD milliseconds);
// Pumps until done() holds or the time runs out (a bound for failures, not a wait); says which.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 5000);

// Input as a user's, through SendInput; each returns once the system has taken it.
// The normalised coordinate that lands on the pixel `pixel` of a screen `extent` pixels wide,
// whether the system maps it back by rounding or by truncation.
LONG Normalised(int pixel, int extent);
bool MoveTo(POINT screen);
bool ButtonDown();
bool ButtonUp();
// Moves the pointer there, then presses and releases the left button.
bool Click(POINT screen);
bool KeyDown(WORD vk);
bool KeyUp(WORD vk);
// Presses and releases vk, with the given modifier keys (VK_SHIFT, VK_CONTROL, VK_MENU) held.
bool Press(WORD vk, const std::vector<WORD>& modifiers = {});
POINT ScreenPoint(HWND hwnd, int clientX, int clientY);
// A pixel of the window's client area, as drawn.
COLORREF ClientPixel(HWND hwnd, int x, int y);
// A pixel of the whole window, frame included, from its top-left corner.
COLORREF FramePixel(HWND hwnd, int x, int y);

// Each test starts with an empty queue and an empty log, and leaves no capture behind.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

} // namespace win32test
