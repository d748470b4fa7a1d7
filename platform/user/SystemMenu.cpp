#include "Geometry.h"
#include "Menu.h"
#include "NonClient.h"
#include "SysColors.h"
#include "Window.h"
#include "WindowActions.h"
#include "WindowClass.h"
#include "platform/gdi32.h"

#include <algorithm>

namespace platform::user {

namespace {

constexpr int kItemHeight = 18;
constexpr int kSeparatorHeight = 8;
constexpr int kTextIndent = 18;
constexpr int kAcceleratorGap = 24;

struct MenuWindowState : WindowExtra {
    std::shared_ptr<Menu> menu;
    int selected = -1;
};

MenuWindowState* StateOf(HWND hwnd) {
    const WindowPtr w = FindWindowObject(hwnd);
    return w ? w->Extra<MenuWindowState>() : nullptr;
}

bool Selectable(const MenuItem& item) {
    return !(item.flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED));
}

int ItemHeight(const MenuItem& item) {
    return (item.flags & MF_SEPARATOR) ? kSeparatorHeight : kItemHeight;
}

std::string Before(const std::string& text, char c) {
    return text.substr(0, text.find(c));
}

std::string After(const std::string& text, char c) {
    const auto at = text.find(c);
    return at == std::string::npos ? std::string() : text.substr(at + 1);
}

int TextWidth(HDC dc, const std::string& text) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

SIZE MeasureMenu(const Menu& menu) {
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, PlatformFont(false));
    int width = 0;
    int height = 0;
    for (const MenuItem& item : menu.items) {
        const std::string accel = After(item.text, '\t');
        const int accelWidth = accel.empty() ? 0 : kAcceleratorGap + TextWidth(dc, accel);
        width = std::max(width, TextWidth(dc, Before(item.text, '\t')) + accelWidth);
        height += ItemHeight(item);
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return SIZE{width + 2 * kTextIndent, height};
}

int ItemAt(const Menu& menu, int y) {
    int top = 0;
    for (std::size_t i = 0; i < menu.items.size(); ++i) {
        const int bottom = top + ItemHeight(menu.items[i]);
        if (y >= top && y < bottom) {
            return static_cast<int>(i);
        }
        top = bottom;
    }
    return -1;
}

void DrawItem(HDC dc, const MenuItem& item, const RECT& r, bool selected) {
    if (item.flags & MF_SEPARATOR) {
        const int mid = (r.top + r.bottom) / 2;
        RECT line{r.left + 1, mid - 1, r.right - 1, mid};
        FillRect(dc, &line, GetSysColorBrush(COLOR_3DSHADOW));
        OffsetRect(&line, 0, 1);
        FillRect(dc, &line, GetSysColorBrush(COLOR_3DHILIGHT));
        return;
    }
    FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    const bool grey = (item.flags & (MF_GRAYED | MF_DISABLED)) != 0;
    SetTextColor(dc, GetSysColor(grey       ? COLOR_GRAYTEXT
                                 : selected ? COLOR_HIGHLIGHTTEXT
                                            : COLOR_MENUTEXT));
    RECT text{r.left + kTextIndent, r.top, r.right - kTextIndent / 2, r.bottom};
    const std::string label = Before(item.text, '\t');
    DrawTextA(dc, label.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    const std::string accel = After(item.text, '\t');
    DrawTextA(dc, accel.c_str(), -1, &text, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
}

void PaintMenu(HWND hwnd) {
    PAINTSTRUCT ps{};
    const HDC dc = BeginPaint(hwnd, &ps);
    const MenuWindowState* state = StateOf(hwnd);
    if (dc && state && state->menu) {
        RECT client{};
        GetClientRect(hwnd, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_MENU));
        const HGDIOBJ old = SelectObject(dc, PlatformFont(false));
        SetBkMode(dc, TRANSPARENT);
        int top = 0;
        for (std::size_t i = 0; i < state->menu->items.size(); ++i) {
            const MenuItem& item = state->menu->items[i];
            const RECT r{0, top, client.right, top + ItemHeight(item)};
            DrawItem(dc, item, r, static_cast<int>(i) == state->selected);
            top = r.bottom;
        }
        SelectObject(dc, old);
    }
    EndPaint(hwnd, &ps);
}

void Select(HWND hwnd, int index) {
    MenuWindowState* state = StateOf(hwnd);
    if (state && state->selected != index) {
        state->selected = index;
        InvalidateRect(hwnd, nullptr, FALSE);
        UpdateWindow(hwnd);
    }
}

void Step(HWND hwnd, int direction) {
    const MenuWindowState* state = StateOf(hwnd);
    const int count = static_cast<int>(state->menu->items.size());
    int index = state->selected;
    for (int n = 0; n < count; ++n) {
        index = (index + direction + count) % count;
        if (Selectable(state->menu->items[static_cast<std::size_t>(index)])) {
            Select(hwnd, index);
            return;
        }
    }
}

// The outcome of one message while the menu is up: go on, choose, or cancel.
enum class Outcome { Continue, Choose, Cancel };

Outcome OnKey(HWND menuWnd, const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) {
        return Outcome::Continue;
    }
    switch (msg.wParam) {
    case VK_DOWN:
        Step(menuWnd, 1);
        return Outcome::Continue;
    case VK_UP:
        Step(menuWnd, -1);
        return Outcome::Continue;
    case VK_RETURN:
        return Outcome::Choose;
    case VK_ESCAPE:
    case VK_MENU:
        return Outcome::Cancel;
    default:
        return Outcome::Continue;
    }
}

Outcome OnMouse(HWND menuWnd, const MSG& msg) {
    if (msg.hwnd != menuWnd) {
        const bool press = msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN ||
                           msg.message == WM_NCLBUTTONDOWN;
        return press ? Outcome::Cancel : Outcome::Continue;
    }
    const MenuWindowState* state = StateOf(menuWnd);
    const int index = ItemAt(*state->menu, GET_Y_LPARAM(msg.lParam));
    const bool usable =
        index >= 0 && Selectable(state->menu->items[static_cast<std::size_t>(index)]);
    if (msg.message == WM_MOUSEMOVE) {
        Select(menuWnd, usable ? index : -1);
    }
    if (msg.message == WM_LBUTTONUP && usable) {
        Select(menuWnd, index);
        return Outcome::Choose;
    }
    return Outcome::Continue;
}

bool IsKey(UINT m) {
    return m >= WM_KEYFIRST && m <= WM_KEYLAST;
}
bool IsMouse(UINT m) {
    return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) ||
           (m >= WM_NCMOUSEMOVE && m <= WM_NCLBUTTONUP);
}

Outcome RunMenu(HWND menuWnd, HWND owner) {
    MSG msg{};
    for (;;) {
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return Outcome::Cancel;
        }
        Outcome outcome = Outcome::Continue;
        if (IsKey(msg.message)) {
            outcome = OnKey(menuWnd, msg);
        } else if (IsMouse(msg.message)) {
            outcome = OnMouse(menuWnd, msg);
        } else {
            DispatchMessageA(&msg);
        }
        if (!IsWindow(menuWnd) || !IsWindow(owner)) {
            return Outcome::Cancel;
        }
        if (outcome != Outcome::Continue) {
            return outcome;
        }
    }
}

POINT MenuOrigin(const Window& top, SIZE size) {
    const Insets in = FrameInsets(top.style, top.exStyle);
    POINT p{top.rect.left + in.left, top.rect.top + in.top};
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    p.x = std::clamp<LONG>(p.x, work.left, std::max<LONG>(work.left, work.right - size.cx));
    p.y = std::clamp<LONG>(p.y, work.top, std::max<LONG>(work.top, work.bottom - size.cy));
    return p;
}

} // namespace

void TrackSystemMenu(HWND hwnd) {
    const WindowPtr top = TopLevelOf(FindWindowObject(hwnd));
    const auto menu = top ? GetMenuObject(GetSystemMenu(top->hwnd, FALSE)) : nullptr;
    if (!menu || menu->items.empty()) {
        return;
    }
    SIZE size = MeasureMenu(*menu);
    RECT frame{0, 0, size.cx, size.cy};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_DLGFRAME, FALSE, 0);
    size = SIZE{frame.right - frame.left, frame.bottom - frame.top};
    const POINT at = MenuOrigin(*top, size);
    const HWND menuWnd =
        CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kMenuClass, "", WS_POPUP | WS_DLGFRAME,
                        at.x, at.y, size.cx, size.cy, top->hwnd, nullptr, nullptr, nullptr);
    const WindowPtr window = FindWindowObject(menuWnd);
    if (!window) {
        return;
    }
    auto state = std::make_unique<MenuWindowState>();
    state->menu = menu;
    window->extra = std::move(state);
    ShowWindow(menuWnd, SW_SHOWNA);
    Step(menuWnd, 1);
    UpdateWindow(menuWnd);
    const Outcome outcome = RunMenu(menuWnd, top->hwnd);
    const MenuWindowState* finalState = StateOf(menuWnd);
    const int chosen = finalState ? finalState->selected : -1;
    DestroyWindow(menuWnd);
    if (outcome == Outcome::Choose && chosen >= 0) {
        PostMessageA(top->hwnd, WM_SYSCOMMAND, menu->items[static_cast<std::size_t>(chosen)].id, 0);
    }
}

LRESULT CALLBACK MenuProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT:
        PaintMenu(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

} // namespace platform::user
