#include "Input.h"
#include "Painting.h"
#include "ThreadState.h"
#include "Timers.h"
#include "Window.h"
#include "platform/kernel32.h"

#include <algorithm>

namespace platform::user {

namespace {

bool InRange(UINT message, UINT min, UINT max) {
    return (min == 0 && max == 0) || (message >= min && message <= max);
}

bool Matches(const MSG& msg, HWND filter, UINT min, UINT max) {
    if (filter && msg.hwnd != filter && !IsDescendant(filter, msg.hwnd)) {
        return false;
    }
    return InRange(msg.message, min, max);
}

bool Take(std::deque<MSG>& queue, MSG& out, HWND filter, UINT min, UINT max, bool remove) {
    const auto it = std::find_if(queue.begin(), queue.end(),
                                 [&](const MSG& m) { return Matches(m, filter, min, max); });
    if (it == queue.end()) {
        return false;
    }
    out = *it;
    if (remove) {
        queue.erase(it);
    }
    return true;
}

void HandleSentMessages(ThreadState& state) {
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        {
            std::lock_guard lock(state.mutex);
            if (state.sent.empty()) {
                return;
            }
            sent = state.sent.front();
            state.sent.pop_front();
        }
        const WindowPtr window = FindWindowObject(sent->msg.hwnd);
        const LRESULT result =
            window ? CallWindowProcA(window->proc, sent->msg.hwnd, sent->msg.message,
                                     sent->msg.wParam, sent->msg.lParam)
                   : 0;
        std::lock_guard lock(state.mutex);
        sent->result = result;
        sent->done = true;
        state.wake.notify_all();
    }
}

bool TakeQueued(ThreadState& state, MSG& out, HWND filter, UINT min, UINT max, bool remove) {
    std::lock_guard lock(state.mutex);
    return Take(state.posted, out, filter, min, max, remove);
}

bool TakeInput(ThreadState& state, MSG& out, HWND filter, UINT min, UINT max, bool remove) {
    bool found = false;
    {
        std::lock_guard lock(state.mutex);
        found = Take(state.input, out, filter, min, max, remove);
    }
    if (found && remove) {
        NoteRetrieved(out);
    }
    return found;
}

bool TakeQuit(ThreadState& state, MSG& out, UINT min, UINT max, bool remove) {
    if (!state.quit || !InRange(WM_QUIT, min, max)) {
        return false;
    }
    out = MSG{nullptr, WM_QUIT,        static_cast<WPARAM>(state.quitCode),
              0,       GetTickCount(), state.messagePos};
    if (remove) {
        state.quit = false;
    }
    return true;
}

bool TakePaint(MSG& out, HWND filter, UINT min, UINT max) {
    if (!InRange(WM_PAINT, min, max)) {
        return false;
    }
    const HWND hwnd = NextWindowToPaint(filter);
    if (!hwnd) {
        return false;
    }
    out = MSG{hwnd, WM_PAINT, 0, 0, GetTickCount(), CurrentThread().messagePos};
    return true;
}

// Windows' priorities: sent, posted, quit, input, paint, timers.
bool Fetch(MSG& out, HWND filter, UINT min, UINT max, bool remove) {
    ThreadState& state = CurrentThread();
    HandleSentMessages(state);
    if (TakeQueued(state, out, filter, min, max, remove) ||
        TakeQuit(state, out, min, max, remove)) {
        return true;
    }
    DrainDisplay();
    if (TakeInput(state, out, filter, min, max, remove) || TakePaint(out, filter, min, max)) {
        return true;
    }
    return InRange(WM_TIMER, min, max) && TakeDueTimer(out, filter, remove);
}

bool HasPendingWork(ThreadState& state) {
    std::lock_guard lock(state.mutex);
    return !state.posted.empty() || !state.sent.empty() || !state.input.empty();
}

void Wait() {
    ThreadState& state = CurrentThread();
    const int timeout = MillisecondsToNextTimer();
    if (platform::display::CurrentBackend()) {
        WaitForDisplay(timeout);
        return;
    }
    std::unique_lock lock(state.mutex);
    const auto ready = [&] { return !state.posted.empty() || !state.sent.empty(); };
    if (timeout < 0) {
        state.wake.wait(lock, ready);
    } else {
        state.wake.wait_for(lock, std::chrono::milliseconds(timeout), ready);
    }
}

void WakeThread(ThreadState& state) {
    state.wake.notify_all();
    if (state.id != std::this_thread::get_id()) {
        if (platform::display::Backend* backend = platform::display::CurrentBackend()) {
            backend->Wake();
        }
    }
}

LRESULT SendAcrossThreads(const WindowPtr& window, const MSG& msg) {
    const auto target = ThreadStateOf(window->thread);
    if (!target) {
        return 0;
    }
    auto sent = std::make_shared<SentMessage>();
    sent->msg = msg;
    std::unique_lock lock(target->mutex);
    target->sent.push_back(sent);
    lock.unlock();
    WakeThread(*target);
    lock.lock();
    // A thread that stops pumping or goes away must not hang the sender for ever.
    while (!sent->done) {
        target->wake.wait_for(lock, std::chrono::milliseconds(100));
        if (!sent->done && !FindWindowObject(msg.hwnd)) {
            return 0;
        }
    }
    return sent->result;
}

} // namespace

} // namespace platform::user

using namespace platform::user;

LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                               LPARAM lParam) {
    return lpPrevWndFunc ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    const WindowPtr window = GetWindowObject(hWnd);
    if (!window) {
        return 0;
    }
    if (window->thread == std::this_thread::get_id()) {
        return CallWindowProcA(window->proc, hWnd, Msg, wParam, lParam);
    }
    return SendAcrossThreads(window, MSG{hWnd, Msg, wParam, lParam, GetTickCount(), POINT{}});
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    std::thread::id thread = std::this_thread::get_id();
    if (hWnd) {
        const WindowPtr window = GetWindowObject(hWnd);
        if (!window) {
            return FALSE;
        }
        thread = window->thread;
    }
    const std::shared_ptr<ThreadState> target = ThreadStateOf(thread);
    if (!target) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    // A posted message carries the pointer position it was posted at, as on Windows: a press
    // re-posted as a caption press (a window drag) must anchor where the press was.
    const POINT pt =
        thread == std::this_thread::get_id() ? CurrentThread().messagePos : POINT{0, 0};
    {
        std::lock_guard lock(target->mutex);
        target->posted.push_back(MSG{hWnd, Msg, wParam, lParam, GetTickCount(), pt});
    }
    WakeThread(*target);
    return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode) {
    ThreadState& state = CurrentThread();
    state.quit = true;
    state.quitCode = nExitCode;
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                         UINT wRemoveMsg) {
    if (!lpMsg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return Fetch(*lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0);
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    if (!lpMsg || (hWnd && !GetWindowObject(hWnd))) {
        SetLastError(lpMsg ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return -1;
    }
    while (!Fetch(*lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true)) {
        Wait();
    }
    return lpMsg->message != WM_QUIT;
}

BOOL WINAPI WaitMessage() {
    ThreadState& state = CurrentThread();
    DrainDisplay();
    if (HasPendingWork(state) || state.quit || NextWindowToPaint(nullptr)) {
        return TRUE;
    }
    Wait();
    return TRUE;
}

// Every key message answers TRUE, whether or not it makes a character, as on Windows.
BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
    if (!lpMsg) {
        return FALSE;
    }
    if (lpMsg->message == WM_KEYUP || lpMsg->message == WM_SYSKEYUP) {
        return TRUE;
    }
    if (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_SYSKEYDOWN) {
        return FALSE;
    }
    const UINT vk = static_cast<UINT>(lpMsg->wParam);
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    char ch = 0;
    if (vk >= 'A' && vk <= 'Z') {
        ch = static_cast<char>(shift ? vk : vk - 'A' + 'a');
    } else if ((vk >= '0' && vk <= '9') || vk == VK_SPACE || vk == VK_RETURN || vk == VK_ESCAPE ||
               vk == VK_BACK || vk == VK_TAB) {
        ch = static_cast<char>(vk);
    }
    if (!ch) {
        return TRUE;
    }
    ThreadState& state = CurrentThread();
    const UINT message = lpMsg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    std::lock_guard lock(state.mutex);
    state.posted.push_front(
        MSG{lpMsg->hwnd, message, static_cast<WPARAM>(ch), lpMsg->lParam, lpMsg->time, lpMsg->pt});
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
    if (!lpMsg) {
        return 0;
    }
    if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
        reinterpret_cast<TIMERPROC>(lpMsg->lParam)(
            lpMsg->hwnd, WM_TIMER, static_cast<UINT>(lpMsg->wParam), GetTickCount());
        return 0;
    }
    const WindowPtr window = GetWindowObject(lpMsg->hwnd);
    if (!window) {
        return 0;
    }
    if (window->thread != std::this_thread::get_id()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    ThreadState& state = CurrentThread();
    state.messageTime = lpMsg->time;
    state.messagePos = lpMsg->pt;
    if (lpMsg->message == WM_PAINT) {
        PaintNow(window);
        return 0;
    }
    return CallWindowProcA(window->proc, lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

DWORD WINAPI GetMessagePos() {
    const POINT pt = CurrentThread().messagePos;
    return static_cast<DWORD>(MAKELONG(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)));
}

LONG WINAPI GetMessageTime() {
    return static_cast<LONG>(CurrentThread().messageTime);
}
