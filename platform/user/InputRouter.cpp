#include "Geometry.h"
#include "Input.h"
#include "Painting.h"
#include "ThreadState.h"
#include "Window.h"
#include "platform/gdi32.h"
#include "platform/kernel32.h"

#include <array>
#include <atomic>

namespace platform::user {

namespace {

constexpr UINT kAltModifier = 0x1000;
constexpr UINT kMouseKeyMask = MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL | MK_MBUTTON;

// The physical state, as the display last reported it (GetAsyncKeyState).
std::array<std::atomic<bool>, 256>& AsyncKeys() {
    static std::array<std::atomic<bool>, 256> keys{};
    return keys;
}

bool InWindow(const Window& window, POINT screen) {
    const POINT origin = WindowOriginOnScreen(window);
    const POINT p{screen.x - origin.x, screen.y - origin.y};
    if (p.x < 0 || p.y < 0 || p.x >= window.Width() || p.y >= window.Height()) {
        return false;
    }
    return !window.region || PtInRegion(window.region, p.x, p.y);
}

void Enqueue(ThreadState& state, const MSG& msg) {
    std::lock_guard lock(state.mutex);
    state.input.push_back(msg);
}

UINT ButtonMessage(int button, bool down, bool client) {
    const UINT base = button == 3 ? WM_RBUTTONDOWN : button == 2 ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
    const UINT message = down ? base : base + 1;
    return client ? message : message - WM_LBUTTONDOWN + WM_NCLBUTTONDOWN;
}

UINT ButtonFlag(int button) {
    return button == 3 ? MK_RBUTTON : button == 2 ? MK_MBUTTON : MK_LBUTTON;
}

UINT ButtonKey(int button) {
    return button == 3 ? VK_RBUTTON : button == 2 ? VK_MBUTTON : VK_LBUTTON;
}

UINT MouseKeys(const platform::display::InputEvent& event) {
    UINT keys = event.modifiers & kMouseKeyMask;
    if (event.type == platform::display::EventType::ButtonDown) {
        keys |= ButtonFlag(event.button);
    } else if (event.type == platform::display::EventType::ButtonUp) {
        keys &= ~ButtonFlag(event.button);
    }
    return keys;
}

void ActivateOnPress(ThreadState& state, HWND target) {
    const WindowPtr top = TopLevelOf(FindWindowObject(target));
    if (!top || top->hwnd == state.active) {
        return;
    }
    const std::string& cls = top->cls->name;
    if (cls == "tooltips_class32" || cls == "#32768") {
        return;
    }
    SetActiveWindow(top->hwnd);
}

void RouteMouse(const platform::display::InputEvent& event, HWND top) {
    ThreadState& state = CurrentThread();
    if (event.type != platform::display::EventType::MouseMove) {
        AsyncKeys()[ButtonKey(event.button)] =
            event.type == platform::display::EventType::ButtonDown;
    }
    HWND target = state.capture;
    LRESULT hit = HTCLIENT;
    if (!target || !IsWindow(target)) {
        if (!top || !IsWindowEnabled(top)) {
            return;
        }
        target = DeepestWindowAt(top, event.screen);
        hit = target ? SendMessageA(target, WM_NCHITTEST, 0,
                                    MAKELPARAM(event.screen.x, event.screen.y))
                     : HTNOWHERE;
        if (hit == HTNOWHERE || hit == HTTRANSPARENT || hit == HTERROR) {
            return;
        }
        if (event.type == platform::display::EventType::ButtonDown) {
            ActivateOnPress(state, target);
        }
    }
    const bool client = hit == HTCLIENT;
    const UINT message =
        event.type == platform::display::EventType::MouseMove
            ? (client ? WM_MOUSEMOVE : WM_NCMOUSEMOVE)
            : ButtonMessage(event.button, event.type == platform::display::EventType::ButtonDown,
                            client);
    POINT p = event.screen;
    if (client) {
        ScreenToClient(target, &p);
    }
    const WPARAM wParam = client ? MouseKeys(event) : static_cast<WPARAM>(hit);
    Enqueue(state,
            MSG{target, message, wParam, MAKELPARAM(p.x, p.y), GetTickCount(), event.screen});
}

void RouteKey(const platform::display::InputEvent& event) {
    ThreadState& state = CurrentThread();
    const bool down = event.type == platform::display::EventType::KeyDown;
    AsyncKeys()[event.vk & 0xFF] = down;
    const HWND target = state.focus ? state.focus : state.active;
    if (!target || !IsWindowEnabled(TopLevelOf(target))) {
        return;
    }
    const bool alt = (event.modifiers & kAltModifier) || event.vk == VK_MENU;
    const UINT message =
        alt ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    LPARAM lParam = 1;
    if (alt) {
        lParam |= 1 << 29;
    }
    if (!down) {
        lParam |= static_cast<LPARAM>(0xC0000000u);
    }
    Enqueue(state, MSG{target, message, event.vk, lParam, GetTickCount(), event.screen});
}

void MovedByWindowManager(HWND top, const RECT& screenRect) {
    const WindowPtr window = FindWindowObject(top);
    if (!window) {
        return;
    }
    const int dx = screenRect.left - window->rect.left;
    const int dy = screenRect.top - window->rect.top;
    if (dx == 0 && dy == 0) {
        return;
    }
    OffsetRect(&window->rect, dx, dy);
    const POINT client = ClientOriginOnScreen(*window);
    SendMessageA(top, WM_MOVE, 0, MAKELPARAM(client.x, client.y));
}

} // namespace

HWND WindowOfNative(platform::display::NativeId id) {
    if (!id) {
        return nullptr;
    }
    for (const WindowPtr& w : AllWindows()) {
        if (w->native == id) {
            return w->hwnd;
        }
    }
    return nullptr;
}

HWND DeepestWindowAt(HWND top, POINT screen) {
    WindowPtr window = FindWindowObject(top);
    if (!window || !window->Visible() || !InWindow(*window, screen)) {
        return nullptr;
    }
    for (;;) {
        WindowPtr next;
        for (HWND child : window->children) {
            const WindowPtr c = FindWindowObject(child);
            if (c && c->Visible() && InWindow(*c, screen)) {
                next = c;
                break;
            }
        }
        // A disabled child lets its parent have the input, as Windows does.
        if (!next || !next->Enabled()) {
            return window->hwnd;
        }
        window = next;
    }
}

bool MouseButtonDown(int button) {
    return AsyncKeys()[ButtonKey(button)];
}

void RouteEvent(const platform::display::InputEvent& event) {
    const HWND top = WindowOfNative(event.window);
    const WindowPtr topWindow = FindWindowObject(top);
    if (topWindow && topWindow->thread != std::this_thread::get_id()) {
        return;
    }
    switch (event.type) {
    case platform::display::EventType::MouseMove:
    case platform::display::EventType::ButtonDown:
    case platform::display::EventType::ButtonUp:
        RouteMouse(event, top);
        break;
    case platform::display::EventType::KeyDown:
    case platform::display::EventType::KeyUp:
        RouteKey(event);
        break;
    case platform::display::EventType::CloseRequest:
        if (top && IsWindowEnabled(top)) {
            PostMessageA(top, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        break;
    case platform::display::EventType::Expose:
        if (top) {
            PresentWhole(top);
        }
        break;
    case platform::display::EventType::Moved:
        MovedByWindowManager(top, event.screenRect);
        break;
    case platform::display::EventType::FocusIn:
        if (top && IsWindowEnabled(top) && GetActiveWindow() != top) {
            SetActiveWindow(top);
        }
        break;
    case platform::display::EventType::FocusOut:
        break;
    }
}

// Stops once an input message waits: the rest are aimed when they come next, as on Windows,
// so a capture taken while handling a press (a move loop, a button) gets the moves behind it.
void DrainDisplay() {
    platform::display::Backend* backend = platform::display::CurrentBackend();
    ThreadState& state = CurrentThread();
    const auto inputWaiting = [&] {
        std::lock_guard lock(state.mutex);
        return !state.input.empty();
    };
    platform::display::InputEvent event;
    while (backend && !inputWaiting() && backend->WaitEvent(event, 0)) {
        RouteEvent(event);
    }
}

void WaitForDisplay(int timeoutMs) {
    platform::display::Backend* backend = platform::display::CurrentBackend();
    platform::display::InputEvent event;
    if (backend && backend->WaitEvent(event, timeoutMs)) {
        RouteEvent(event);
    }
}

bool TakeInputMessage(MSG& msg, int timeoutMs) {
    ThreadState& state = CurrentThread();
    const auto take = [&] {
        std::lock_guard lock(state.mutex);
        if (state.input.empty()) {
            return false;
        }
        msg = state.input.front();
        state.input.pop_front();
        return true;
    };
    DrainDisplay();
    if (!take()) {
        WaitForDisplay(timeoutMs);
        DrainDisplay();
        if (!take()) {
            return false;
        }
    }
    NoteRetrieved(msg);
    return true;
}

void NoteRetrieved(const MSG& msg) {
    ThreadState& state = CurrentThread();
    state.messageTime = msg.time;
    state.messagePos = msg.pt;
    const auto set = [&](UINT vk, bool down) { state.keys[vk] = down ? 0x80 : 0; };
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        set(static_cast<UINT>(msg.wParam & 0xFF), true);
        set(VK_MENU, msg.message == WM_SYSKEYDOWN);
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        set(static_cast<UINT>(msg.wParam & 0xFF), false);
        break;
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
        set(VK_LBUTTON, true);
        break;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
        set(VK_LBUTTON, false);
        break;
    case WM_MOUSEMOVE:
        set(VK_LBUTTON, (msg.wParam & MK_LBUTTON) != 0);
        break;
    default:
        break;
    }
}

} // namespace platform::user

using namespace platform::user;

SHORT WINAPI GetKeyState(int nVirtKey) {
    return (CurrentThread().keys[nVirtKey & 0xFF] & 0x80) ? static_cast<SHORT>(0xFF80) : 0;
}

SHORT WINAPI GetAsyncKeyState(int vKey) {
    return AsyncKeys()[vKey & 0xFF] ? static_cast<SHORT>(0x8000) : 0;
}

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
    platform::display::Backend* backend = platform::display::CurrentBackend();
    if (!lpPoint || !backend) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpPoint = backend->CursorPos();
    return TRUE;
}

HWND WINAPI WindowFromPoint(POINT Point) {
    WindowPtr best;
    for (const WindowPtr& w : AllWindows()) {
        if (!w->IsChild() && w->Visible() && InWindow(*w, Point) &&
            (!best || w->zOrder > best->zOrder)) {
            best = w;
        }
    }
    // Where the program has no window, the pointer is over the desktop (or another program's
    // window, which the platform does not know): never nowhere.
    return best ? DeepestWindowAt(best->hwnd, Point) : DesktopWindow();
}
