#include "Window.h"
#include "platform/internal/handle_table.h"
#include "platform/kernel32.h"

namespace platform::user {

namespace {

HandleTable<Window>& Table() {
    static HandleTable<Window> table;
    return table;
}

// The table hands out handles; this keeps creation order for enumeration.
std::mutex& OrderMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<HWND>& Order() {
    static std::vector<HWND> order;
    return order;
}

} // namespace

WindowPtr FindWindowObject(HWND hwnd) {
    return Table().Get(reinterpret_cast<std::uintptr_t>(hwnd));
}

WindowPtr GetWindowObject(HWND hwnd) {
    WindowPtr window = FindWindowObject(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    }
    return window;
}

HWND AddUnlistedWindow(WindowPtr window) {
    Window* raw = window.get();
    const std::uintptr_t value = Table().Insert(std::move(window));
    if (value == 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    raw->hwnd = reinterpret_cast<HWND>(value);
    return raw->hwnd;
}

HWND AddWindow(WindowPtr window) {
    const HWND hwnd = AddUnlistedWindow(std::move(window));
    if (!hwnd) {
        return nullptr;
    }
    std::lock_guard lock(OrderMutex());
    Order().push_back(hwnd);
    return hwnd;
}

void RemoveWindow(HWND hwnd) {
    {
        std::lock_guard lock(OrderMutex());
        std::erase(Order(), hwnd);
    }
    Table().Remove(reinterpret_cast<std::uintptr_t>(hwnd));
}

std::vector<WindowPtr> AllWindows() {
    std::vector<HWND> handles;
    {
        std::lock_guard lock(OrderMutex());
        handles = Order();
    }
    std::vector<WindowPtr> windows;
    for (HWND hwnd : handles) {
        if (WindowPtr w = FindWindowObject(hwnd)) {
            windows.push_back(std::move(w));
        }
    }
    return windows;
}

WindowPtr TopLevelOf(const WindowPtr& window) {
    WindowPtr w = window;
    while (w && w->IsChild()) {
        WindowPtr parent = FindWindowObject(w->parent);
        if (!parent) {
            break;
        }
        w = std::move(parent);
    }
    return w;
}

HWND TopLevelOf(HWND hwnd) {
    const WindowPtr top = TopLevelOf(FindWindowObject(hwnd));
    return top ? top->hwnd : nullptr;
}

bool IsDescendant(HWND ancestor, HWND hwnd) {
    WindowPtr w = FindWindowObject(hwnd);
    while (w && w->IsChild()) {
        if (w->parent == ancestor) {
            return true;
        }
        w = FindWindowObject(w->parent);
    }
    return false;
}

} // namespace platform::user
