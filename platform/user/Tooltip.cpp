#include "SysColors.h"
#include "Window.h"
#include "WindowClass.h"
#include "platform/commctrl.h"
#include "platform/gdi32.h"
#include "platform/kernel32.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace platform::user {

namespace {

constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kHideTimer = 2;
constexpr UINT_PTR kLeaveTimer = 3;
constexpr UINT kInitialDelayMs = 500;
constexpr UINT kAutoPopMs = 5000;
constexpr UINT kLeaveCheckMs = 100;
constexpr int kCursorHeight = 20;
constexpr int kPaddingX = 3;
constexpr int kPaddingY = 1;
constexpr std::size_t kLegacyTextBuffer = 80;

struct Tool {
    UINT flags = 0;
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    RECT rect{};
    std::string text;
};

struct TooltipState : WindowExtra {
    std::vector<Tool> tools;
    bool active = true;
    int current = -1;    // the tool under the pointer
    int suppressed = -1; // pressed on: no tip until the pointer leaves it
    UINT initialDelay = kInitialDelayMs;
    UINT autoPop = kAutoPopMs;
};

TooltipState* StateOf(HWND hwnd) {
    return ControlState<TooltipState>(hwnd);
}

std::string TextOf(const TOOLINFOA& ti) {
    if (!ti.lpszText || ti.lpszText == reinterpret_cast<LPSTR>(-1)) {
        return "";
    }
    if (IS_INTRESOURCE(ti.lpszText)) {
        char buffer[256] = {};
        LoadStringA(ti.hinst, static_cast<UINT>(reinterpret_cast<UINT_PTR>(ti.lpszText)), buffer,
                    sizeof buffer);
        return buffer;
    }
    return ti.lpszText;
}

const TOOLINFOA* Info(LPARAM lParam) {
    const auto* ti = reinterpret_cast<const TOOLINFOA*>(lParam);
    return ti && ti->cbSize >= offsetof(TOOLINFOA, lParam) ? ti : nullptr;
}

int FindTool(const TooltipState& s, HWND hwnd, UINT_PTR id) {
    for (std::size_t i = 0; i < s.tools.size(); ++i) {
        if (s.tools[i].hwnd == hwnd && s.tools[i].id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int ToolAt(const TooltipState& s, HWND hwnd, POINT client) {
    for (std::size_t i = 0; i < s.tools.size(); ++i) {
        const Tool& t = s.tools[i];
        if (t.flags & TTF_IDISHWND) {
            const HWND toolWnd = reinterpret_cast<HWND>(t.id);
            RECT r{};
            GetClientRect(toolWnd, &r);
            if (toolWnd == hwnd && PtInRect(&r, client)) {
                return static_cast<int>(i);
            }
        } else if (t.hwnd == hwnd && PtInRect(&t.rect, client)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Where the tool is on the screen now.
RECT ToolScreenRect(const Tool& t) {
    const HWND owner = (t.flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(t.id) : t.hwnd;
    RECT r = t.rect;
    if (t.flags & TTF_IDISHWND) {
        GetClientRect(owner, &r);
    }
    POINT origin{0, 0};
    ClientToScreen(owner, &origin);
    OffsetRect(&r, origin.x, origin.y);
    return r;
}

// Relayed messages come only from the tool's own window, which sees nothing once the pointer
// has gone elsewhere; the pointer itself tells whether it is still over the tool.
bool PointerOnCurrentTool(const TooltipState& s) {
    if (s.current < 0) {
        return false;
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    const RECT r = ToolScreenRect(s.tools[static_cast<std::size_t>(s.current)]);
    return PtInRect(&r, cursor) != FALSE;
}

void Hide(HWND hwnd) {
    KillTimer(hwnd, kShowTimer);
    KillTimer(hwnd, kHideTimer);
    KillTimer(hwnd, kLeaveTimer);
    if (IsWindowVisible(hwnd)) {
        ShowWindow(hwnd, SW_HIDE);
    }
}

SIZE TextSize(const std::string& text) {
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, PlatformFont(false));
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size;
}

void Pop(HWND hwnd) {
    TooltipState* s = StateOf(hwnd);
    if (!s || s->current < 0 || s->tools[static_cast<std::size_t>(s->current)].text.empty()) {
        return;
    }
    if (!PointerOnCurrentTool(*s)) {
        s->current = s->suppressed = -1;
        return;
    }
    const std::string& text = s->tools[static_cast<std::size_t>(s->current)].text;
    SetWindowTextA(hwnd, text.c_str());
    const SIZE size = TextSize(text);
    RECT rect{0, 0, size.cx + 2 * kPaddingX, size.cy + 2 * kPaddingY};
    AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)), FALSE, 0);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    POINT at{};
    GetCursorPos(&at);
    at.y += kCursorHeight;
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    at.x = std::clamp<LONG>(at.x, work.left, std::max<LONG>(work.left, work.right - width));
    at.y = std::clamp<LONG>(at.y, work.top, std::max<LONG>(work.top, work.bottom - height));
    SetWindowPos(hwnd, nullptr, at.x, at.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hwnd, SW_SHOWNA);
    UpdateWindow(hwnd);
    SetTimer(hwnd, kHideTimer, s->autoPop, nullptr);
    SetTimer(hwnd, kLeaveTimer, kLeaveCheckMs, nullptr);
}

void CheckLeave(HWND hwnd) {
    TooltipState* s = StateOf(hwnd);
    if (s && !PointerOnCurrentTool(*s)) {
        Hide(hwnd);
        s->current = s->suppressed = -1;
    }
}

// The tip has been up long enough. It stays down while the pointer rests on the tool; the
// leave check goes on, so the tool shows its tip again once the pointer has left and come back.
void AutoPop(HWND hwnd) {
    KillTimer(hwnd, kHideTimer);
    if (IsWindowVisible(hwnd)) {
        ShowWindow(hwnd, SW_HIDE);
    }
}

void OnTimer(HWND hwnd, UINT_PTR id) {
    switch (id) {
    case kLeaveTimer:
        CheckLeave(hwnd);
        break;
    case kShowTimer:
        KillTimer(hwnd, id);
        Pop(hwnd);
        break;
    case kHideTimer:
        AutoPop(hwnd);
        break;
    default:
        KillTimer(hwnd, id);
        break;
    }
}

bool IsPress(UINT m) {
    return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN ||
           m == WM_NCLBUTTONDOWN;
}

void Relay(HWND hwnd, const MSG* msg) {
    TooltipState* s = StateOf(hwnd);
    if (!s || !msg || !s->active) {
        return;
    }
    if (msg->message != WM_MOUSEMOVE && !IsPress(msg->message) && msg->message != WM_LBUTTONUP) {
        return;
    }
    const int tool =
        ToolAt(*s, msg->hwnd, POINT{GET_X_LPARAM(msg->lParam), GET_Y_LPARAM(msg->lParam)});
    if (IsPress(msg->message)) {
        Hide(hwnd);
        s->suppressed = tool;
        s->current = tool;
        return;
    }
    if (tool < 0) {
        Hide(hwnd);
        s->current = s->suppressed = -1;
        return;
    }
    if (tool == s->suppressed || tool == s->current) {
        return;
    }
    Hide(hwnd);
    s->suppressed = -1;
    s->current = tool;
    SetTimer(hwnd, kShowTimer, s->initialDelay, nullptr);
}

LRESULT AddTool(HWND hwnd, const TOOLINFOA* ti) {
    TooltipState* s = StateOf(hwnd);
    if (!s || !ti) {
        return FALSE;
    }
    s->tools.push_back(Tool{ti->uFlags, ti->hwnd, ti->uId, ti->rect, TextOf(*ti)});
    return TRUE;
}

void UpdateText(HWND hwnd, const TOOLINFOA* ti) {
    TooltipState* s = StateOf(hwnd);
    const int index = s && ti ? FindTool(*s, ti->hwnd, ti->uId) : -1;
    if (index < 0) {
        return;
    }
    s->tools[static_cast<std::size_t>(index)].text = TextOf(*ti);
    if (index == s->current && IsWindowVisible(hwnd)) {
        Pop(hwnd);
    }
}

void DeleteTool(HWND hwnd, const TOOLINFOA* ti) {
    TooltipState* s = StateOf(hwnd);
    const int index = s && ti ? FindTool(*s, ti->hwnd, ti->uId) : -1;
    if (index < 0) {
        return;
    }
    s->tools.erase(s->tools.begin() + index);
    Hide(hwnd);
    s->current = s->suppressed = -1;
}

void Activate(HWND hwnd, bool active) {
    TooltipState* s = StateOf(hwnd);
    if (!s) {
        return;
    }
    s->active = active;
    if (!active) {
        Hide(hwnd);
        s->current = s->suppressed = -1;
    }
}

void SetDelay(HWND hwnd, WPARAM which, LPARAM value) {
    TooltipState* s = StateOf(hwnd);
    const int ms = static_cast<short>(LOWORD(value));
    if (!s) {
        return;
    }
    if (which == TTDT_INITIAL || which == TTDT_AUTOMATIC) {
        s->initialDelay = ms < 0 ? kInitialDelayMs : static_cast<UINT>(ms);
    }
    if (which == TTDT_AUTOPOP || which == TTDT_AUTOMATIC) {
        s->autoPop = ms < 0 ? kAutoPopMs : static_cast<UINT>(ms);
    }
}

void GetText(HWND hwnd, const TOOLINFOA* ti) {
    TooltipState* s = StateOf(hwnd);
    const int index = s && ti ? FindTool(*s, ti->hwnd, ti->uId) : -1;
    if (index < 0 || !ti->lpszText) {
        return;
    }
    const std::string& text = s->tools[static_cast<std::size_t>(index)].text;
    const std::size_t n = std::min(text.size(), kLegacyTextBuffer - 1);
    std::memcpy(ti->lpszText, text.data(), n);
    ti->lpszText[n] = '\0';
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps{};
    const HDC dc = BeginPaint(hwnd, &ps);
    const WindowPtr w = FindWindowObject(hwnd);
    if (dc && w) {
        RECT r{};
        GetClientRect(hwnd, &r);
        FillRect(dc, &r, GetSysColorBrush(COLOR_INFOBK));
        const HGDIOBJ old = SelectObject(dc, PlatformFont(false));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        InflateRect(&r, -kPaddingX, -kPaddingY);
        DrawTextA(dc, w->text.c_str(), -1, &r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
    }
    EndPaint(hwnd, &ps);
}

} // namespace

LRESULT CALLBACK TooltipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCCREATE:
        SetWindowLongA(hwnd, GWL_STYLE, GetWindowLongA(hwnd, GWL_STYLE) | WS_BORDER);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_TIMER:
        OnTimer(hwnd, wParam);
        return 0;
    case TTM_ACTIVATE:
        Activate(hwnd, wParam != 0);
        return 0;
    case TTM_ADDTOOLA:
        return AddTool(hwnd, Info(lParam));
    case TTM_DELTOOLA:
        DeleteTool(hwnd, Info(lParam));
        return 0;
    case TTM_UPDATETIPTEXTA:
        UpdateText(hwnd, Info(lParam));
        return 0;
    case TTM_GETTEXTA:
        GetText(hwnd, Info(lParam));
        return 0;
    case TTM_NEWTOOLRECTA: {
        TooltipState* s = StateOf(hwnd);
        const TOOLINFOA* ti = Info(lParam);
        const int index = s && ti ? FindTool(*s, ti->hwnd, ti->uId) : -1;
        if (index >= 0) {
            s->tools[static_cast<std::size_t>(index)].rect = ti->rect;
        }
        return 0;
    }
    case TTM_GETTOOLCOUNT: {
        const TooltipState* s = StateOf(hwnd);
        return s ? static_cast<LRESULT>(s->tools.size()) : 0;
    }
    case TTM_RELAYEVENT:
        Relay(hwnd, reinterpret_cast<const MSG*>(lParam));
        return 0;
    case TTM_SETDELAYTIME:
        SetDelay(hwnd, wParam, lParam);
        return 0;
    case TTM_POP:
        Hide(hwnd);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

} // namespace platform::user
