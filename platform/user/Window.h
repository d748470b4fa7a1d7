// The window object behind an HWND. Only the thread that created a window touches its fields,
// except the handful that PostMessage reads (the owning thread), which never change.
#pragma once

#include "WindowClass.h"
#include "display/display.h"
#include "platform/internal/surface.h"
#include "platform/user32.h"

#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace platform::user {

struct WindowClass;
struct ThreadState;

// Per-window state of a control or dialog class; each class derives its own.
struct WindowExtra {
    virtual ~WindowExtra() = default;
};

struct Window {
    HWND hwnd = nullptr;
    std::shared_ptr<const WindowClass> cls;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;      // child windows only
    HWND owner = nullptr;       // top-level windows only
    std::vector<HWND> children; // top of the z-order first
    RECT rect{};                // in the parent's client coordinates, or the screen's
    std::string text;
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    LONG_PTR dlgMsgResult = 0;
    LONG_PTR dlgUser = 0;
    HINSTANCE instance = nullptr;
    HFONT font = nullptr;
    HICON iconBig = nullptr;
    HICON iconSmall = nullptr;
    HMENU systemMenu = nullptr;
    HRGN region = nullptr;                 // owned; window coordinates
    std::shared_ptr<gdi::Surface> surface; // whole window, non-client included
    std::uint64_t zOrder = 0;              // top-level: higher is nearer the viewer
    RECT update{};                         // client coordinates; empty when valid
    bool erase = false;
    std::uint32_t validations = 0; // counts BeginPaint and ValidateRect calls
    bool frameDirty = false;
    bool destroying = false;
    display::NativeId native = 0;
    std::thread::id thread;
    std::unique_ptr<WindowExtra> extra;

    bool IsChild() const { return (style & WS_CHILD) != 0; }
    bool Visible() const { return (style & WS_VISIBLE) != 0; }
    bool Enabled() const { return (style & WS_DISABLED) == 0; }
    int Width() const { return rect.right - rect.left; }
    int Height() const { return rect.bottom - rect.top; }
    template <typename T> T* Extra() const { return dynamic_cast<T*>(extra.get()); }
};

using WindowPtr = std::shared_ptr<Window>;

// Looks the handle up; sets ERROR_INVALID_WINDOW_HANDLE and returns nullptr when it is stale.
WindowPtr GetWindowObject(HWND hwnd);
// The same, without touching the thread's last error.
WindowPtr FindWindowObject(HWND hwnd);

// A control's per-window state, made on first use; nullptr when the handle is stale.
template <typename T> T* ControlState(HWND hwnd) {
    const WindowPtr w = FindWindowObject(hwnd);
    if (!w) {
        return nullptr;
    }
    if (!w->Extra<T>()) {
        w->extra = std::make_unique<T>();
    }
    return w->Extra<T>();
}
// The same, for a call that changes the window: the desktop window is refused with
// ERROR_ACCESS_DENIED.
WindowPtr GetChangeableWindow(HWND hwnd);

HWND AddWindow(WindowPtr window);
// Adds a window that no enumeration of the program's windows finds (the desktop window).
HWND AddUnlistedWindow(WindowPtr window);
void RemoveWindow(HWND hwnd);
// Every live window, in creation order.
std::vector<WindowPtr> AllWindows();

// The top-level window that contains hwnd (hwnd itself when it is top-level).
WindowPtr TopLevelOf(const WindowPtr& window);
HWND TopLevelOf(HWND hwnd);
bool IsDescendant(HWND ancestor, HWND hwnd);

// The screen as a window, made on first use (GetDesktopWindow).
HWND DesktopWindow();
bool IsDesktop(const Window& window);

} // namespace platform::user
