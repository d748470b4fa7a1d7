#include "Timers.h"

#include "ThreadState.h"
#include "Window.h"
#include "platform/internal/kernel_object.h"
#include "platform/kernel32.h"

#include <algorithm>

namespace platform::user {

namespace {

// Ids the system hands out for timers without a window.
constexpr UINT_PTR kFirstThreadTimerId = 0x7FFF0000;

bool Matches(const Timer& timer, HWND filter) {
    return !filter || timer.hwnd == filter || IsDescendant(filter, timer.hwnd);
}

} // namespace

bool TakeDueTimer(MSG& msg, HWND filter, bool remove) {
    ThreadState& state = CurrentThread();
    const Clock::time_point now = Clock::now();
    for (Timer& timer : state.timers) {
        if (timer.due > now || !Matches(timer, filter)) {
            continue;
        }
        msg = MSG{timer.hwnd,     WM_TIMER,        timer.id, reinterpret_cast<LPARAM>(timer.proc),
                  GetTickCount(), state.messagePos};
        if (remove) {
            timer.due = now + timer.period;
        }
        return true;
    }
    return false;
}

int MillisecondsToNextTimer() {
    const ThreadState& state = CurrentThread();
    if (state.timers.empty()) {
        return -1;
    }
    const auto next =
        std::min_element(state.timers.begin(), state.timers.end(),
                         [](const Timer& a, const Timer& b) { return a.due < b.due; });
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next->due - Clock::now());
    return static_cast<int>(std::max<long long>(wait.count(), 0));
}

} // namespace platform::user

using namespace platform::user;

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    if (hWnd && !GetWindowObject(hWnd)) {
        return 0;
    }
    ThreadState& state = CurrentThread();
    if (!hWnd) {
        nIDEvent = kFirstThreadTimerId + state.timers.size();
        while (std::any_of(state.timers.begin(), state.timers.end(),
                           [&](const Timer& t) { return !t.hwnd && t.id == nIDEvent; })) {
            ++nIDEvent;
        }
    }
    const auto period = std::chrono::milliseconds(
        std::max<DWORD>(platform::kernel::ScaledMilliseconds(std::max(uElapse, 1u)), 1));
    Timer timer{hWnd, nIDEvent, period, Clock::now() + period, lpTimerFunc};
    for (Timer& existing : state.timers) {
        if (existing.hwnd == hWnd && existing.id == nIDEvent) {
            existing = timer;
            return hWnd ? 1 : nIDEvent;
        }
    }
    state.timers.push_back(timer);
    return hWnd ? 1 : nIDEvent;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    ThreadState& state = CurrentThread();
    const auto removed = std::erase_if(
        state.timers, [&](const Timer& t) { return t.hwnd == hWnd && t.id == uIDEvent; });
    if (removed == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}
