// The desktop window: the screen as a window, what WindowFromPoint answers where none of the
// program's windows is. It belongs to no thread of the program, so a message sent to it goes
// nowhere, and the calls that would change it are refused, as for another program's window.
#include "Window.h"
#include "platform/kernel32.h"

namespace platform::user {

namespace {

LRESULT CALLBACK DesktopProc(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

const std::shared_ptr<const WindowClass>& DesktopClass() {
    static const std::shared_ptr<const WindowClass> cls = [] {
        auto made = std::make_shared<WindowClass>();
        made->name = "#32769";
        made->proc = &DesktopProc;
        made->system = true;
        return made;
    }();
    return cls;
}

HWND MakeDesktop() {
    auto window = std::make_shared<Window>();
    window->cls = DesktopClass();
    window->proc = &DesktopProc;
    window->style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    platform::display::Backend* backend = platform::display::CurrentBackend();
    window->rect = backend ? backend->ScreenRect() : RECT{0, 0, 1280, 1024};
    return AddUnlistedWindow(std::move(window));
}

} // namespace

HWND DesktopWindow() {
    static const HWND desktop = MakeDesktop();
    return desktop;
}

bool IsDesktop(const Window& window) {
    return window.cls == DesktopClass();
}

WindowPtr GetChangeableWindow(HWND hwnd) {
    WindowPtr window = GetWindowObject(hwnd);
    if (window && IsDesktop(*window)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return window;
}

} // namespace platform::user
