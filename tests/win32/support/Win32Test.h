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

// Each test starts with an empty queue and an empty log, and leaves no capture behind.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

} // namespace win32test
