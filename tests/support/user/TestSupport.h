// Helpers shared by the window system's tests: a logging window class, pumping the queue
// until it is idle, and access to the headless screen.
#pragma once

#include "display/headless/HeadlessScreen.h"
#include "platform/kernel32.h"
#include "platform/user32.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace usertest {

struct Logged {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Every window of class "LogWindow" records what it receives (but the hit tests, which only
// add noise), then hands it to DefWindowProcA unless a hook answered it.
class MessageLog {
public:
    static MessageLog& Get();
    void Clear() { entries_.clear(); }
    const std::vector<Logged>& Entries() const { return entries_; }
    // The messages received by hwnd, in order, restricted to `only` when not empty.
    std::vector<UINT> Of(HWND hwnd, const std::vector<UINT>& only = {}) const;
    std::vector<UINT> All(const std::vector<UINT>& only) const;
    void Add(const Logged& entry) { entries_.push_back(entry); }

    // Lets a test answer a message itself: return true to stop default processing.
    std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)> hook;

private:
    std::vector<Logged> entries_;
};

LPCSTR LogClass();
HWND CreateLogWindow(DWORD style, int x, int y, int width, int height, HWND parent = nullptr,
                     int id = 0, DWORD exStyle = 0);
// Handles every message that is waiting, without waiting for more.
void Pump();
// Pumps for the given time (not scaled), for timers and delayed work.
void PumpFor(int milliseconds);
platform::display::HeadlessScreen& Screen();
platform::display::Image WindowImage(HWND hwnd);
// Screen pixel as COLORREF, to compare with colours given to the window system.
COLORREF ScreenPixel(int x, int y);
POINT ScreenPoint(HWND hwnd, int clientX, int clientY);

// Each test starts with an empty queue, no windows left from the last one and no input.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

} // namespace usertest
