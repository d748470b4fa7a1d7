#include "Hooks.h"
#include "Painting.h"
#include "ThreadState.h"
#include "Window.h"
#include "WindowClass.h"
#include "platform/commctrl.h"
#include "platform/kernel32.h"

#include <algorithm>
#include <new>

namespace platform::user {

namespace {

constexpr int kMaxExtent = 16384;

int Clamp(int value) {
    return std::clamp(value, 0, kMaxExtent);
}

display::WindowKind KindOf(const WindowClass& cls, HWND owner) {
    if (cls.name == TOOLTIPS_CLASSA) {
        return platform::display::WindowKind::Tooltip;
    }
    if (cls.name == kMenuClass) {
        return platform::display::WindowKind::Menu;
    }
    return owner ? platform::display::WindowKind::Dialog : platform::display::WindowKind::Normal;
}

bool LinkToParent(Window& window, HWND hWndParent) {
    if (window.IsChild()) {
        const WindowPtr parent = GetWindowObject(hWndParent);
        if (!parent) {
            SetLastError(1406); // ERROR_TLW_WITH_WSCHILD
            return false;
        }
        window.parent = parent->hwnd;
        return true;
    }
    if (hWndParent) {
        window.owner = TopLevelOf(hWndParent);
        if (!window.owner) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return false;
        }
    }
    return true;
}

bool CreateNative(Window& window) {
    if (window.IsChild()) {
        return true;
    }
    platform::display::Backend* backend = platform::display::CurrentBackend();
    if (!backend) {
        SetLastError(ERROR_NOT_READY);
        return false;
    }
    platform::display::NativeWindowDesc desc;
    desc.screenRect = window.rect;
    desc.kind = KindOf(*window.cls, window.owner);
    const WindowPtr owner = FindWindowObject(window.owner);
    desc.transientFor = owner ? owner->native : 0;
    desc.title = window.text;
    window.native = backend->Create(desc);
    return window.native != 0;
}

WindowPtr NewWindow(DWORD exStyle, const std::shared_ptr<const WindowClass>& cls, LPCSTR name,
                    DWORD style, int x, int y, int width, int height, HMENU menu,
                    HINSTANCE instance) {
    auto window = std::make_shared<Window>();
    window->cls = cls;
    window->proc = cls->proc;
    window->style = style & ~WS_VISIBLE;
    window->exStyle = exStyle;
    if (x == CW_USEDEFAULT) {
        x = y = 0;
    }
    if (width == CW_USEDEFAULT) {
        width = height = 0;
    }
    window->rect = RECT{x, y, x + Clamp(width), y + Clamp(height)};
    window->id = (style & WS_CHILD) ? reinterpret_cast<LONG_PTR>(menu) : 0;
    window->instance = instance;
    window->thread = std::this_thread::get_id();
    if (name && !IS_INTRESOURCE(name)) {
        window->text = name;
    }
    ResizeSurface(*window);
    return window;
}

void LinkChild(const Window& window) {
    if (const WindowPtr parent = FindWindowObject(window.parent)) {
        parent->children.push_back(window.hwnd);
    }
}

// The CBT hooks see the window before its first message and may refuse it.
bool CreationAllowed(HWND hwnd, CREATESTRUCTA& cs) {
    CBT_CREATEWNDA cbt{&cs, nullptr};
    return CallHooks(WH_CBT, HCBT_CREATEWND, reinterpret_cast<WPARAM>(hwnd),
                     reinterpret_cast<LPARAM>(&cbt)) == 0 &&
           IsWindow(hwnd);
}

// Sends the creation messages; false when the window refused to be created.
bool SendCreate(HWND hwnd, CREATESTRUCTA& cs) {
    if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        return false;
    }
    if (!IsWindow(hwnd) || SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        return false;
    }
    return IsWindow(hwnd) != FALSE;
}

void SendInitialGeometry(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    const WindowPtr w = FindWindowObject(hwnd);
    if (w) {
        SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(w->rect.left, w->rect.top));
    }
}

HWND Create(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
            int width, int height, HWND hWndParent, HMENU menu, HINSTANCE instance, LPVOID param) {
    const auto cls = FindClass(className);
    if (!cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    WindowPtr window =
        NewWindow(exStyle, cls, windowName, style, x, y, width, height, menu, instance);
    if (!LinkToParent(*window, hWndParent) || !CreateNative(*window)) {
        return nullptr;
    }
    const HWND hwnd = AddWindow(window);
    if (!hwnd) {
        if (window->native) {
            platform::display::CurrentBackend()->Destroy(window->native);
        }
        return nullptr;
    }
    LinkChild(*window);
    CREATESTRUCTA cs{param,
                     instance,
                     menu,
                     hWndParent,
                     Clamp(height),
                     Clamp(width),
                     y,
                     x,
                     static_cast<LONG>(style),
                     windowName,
                     className,
                     exStyle};
    if (!CreationAllowed(hwnd, cs) || !SendCreate(hwnd, cs)) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    SendInitialGeometry(hwnd);
    if ((style & WS_VISIBLE) && IsWindow(hwnd)) {
        ShowWindow(hwnd, SW_SHOW);
    }
    return IsWindow(hwnd) ? hwnd : nullptr;
}

} // namespace

} // namespace platform::user

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                            int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                            HINSTANCE hInstance, LPVOID lpParam) {
    try {
        return platform::user::Create(dwExStyle, lpClassName, lpWindowName, dwStyle, X, Y, nWidth,
                                      nHeight, hWndParent, hMenu, hInstance, lpParam);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}
