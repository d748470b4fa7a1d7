// What Windows keeps per thread: the message queue (posted, sent and input messages, the quit
// flag, timers) and the input state (focus, active window, capture, key state).
#pragma once

#include "platform/user32.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform::user {

using Clock = std::chrono::steady_clock;

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    Clock::duration period{};
    Clock::time_point due{};
    TIMERPROC proc = nullptr;
};

// A message sent from another thread, handled by the owner thread while it retrieves messages.
struct SentMessage {
    MSG msg{};
    LRESULT result = 0;
    bool done = false;
};

struct ThreadState {
    std::thread::id id;

    // Shared with other threads: guarded by mutex.
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> sent;
    std::deque<MSG> input;

    // Owner thread only.
    bool quit = false;
    int quitCode = 0;
    std::vector<Timer> timers;
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    BYTE keys[256] = {}; // as of the last input message retrieved (GetKeyState)
    DWORD messageTime = 0;
    POINT messagePos{};
    HWND closePressed = nullptr; // a window whose close box took the press
};

ThreadState& CurrentThread();
// The state of another thread, or nullptr when that thread has no queue.
std::shared_ptr<ThreadState> ThreadStateOf(std::thread::id id);

} // namespace platform::user
