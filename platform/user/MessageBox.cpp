#include "Dialog.h"
#include "SysColors.h"
#include "Window.h"
#include "WindowClass.h"
#include "platform/gdi32.h"
#include "platform/kernel32.h"

#include <algorithm>
#include <new>

namespace platform::user {

namespace {

constexpr int kMargin = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kMinTextWidth = 120;

INT_PTR CALLBACK MessageBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
    if (msg != WM_COMMAND) {
        return FALSE;
    }
    const WORD id = LOWORD(wParam);
    if (id == IDOK || id == IDCANCEL) {
        // Esc closes a box that has only OK as if OK had been chosen, as Windows does.
        EndDialog(hwnd, GetDlgItem(hwnd, IDCANCEL) ? id : IDOK);
        return TRUE;
    }
    return FALSE;
}

SIZE MeasureText(LPCSTR text, int maxWidth) {
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, PlatformFont(false));
    RECT r{0, 0, maxWidth, 0};
    DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return SIZE{std::max<LONG>(r.right - r.left, kMinTextWidth), r.bottom - r.top};
}

RECT Centred(HWND owner, int width, int height) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT over = work;
    if (owner && IsWindowVisible(owner)) {
        GetWindowRect(owner, &over);
    }
    int x = (over.left + over.right - width) / 2;
    int y = (over.top + over.bottom - height) / 2;
    x = std::clamp<int>(x, work.left, std::max<int>(work.left, work.right - width));
    y = std::clamp<int>(y, work.top, std::max<int>(work.top, work.bottom - height));
    return RECT{x, y, x + width, y + height};
}

void AddChild(HWND box, LPCSTR cls, LPCSTR text, DWORD style, const RECT& r, int id) {
    const HWND child = CreateWindowExA(
        0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
        r.bottom - r.top, box, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    if (child) {
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(PlatformFont(false)), FALSE);
    }
}

HWND BuildBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const SIZE textSize = MeasureText(text, (work.right - work.left) * 3 / 5);
    const bool withCancel = (type & MB_TYPEMASK) == MB_OKCANCEL;
    const int buttons = withCancel ? 2 * kButtonWidth + kButtonGap : kButtonWidth;
    const int clientWidth = std::max<int>(textSize.cx, buttons) + 2 * kMargin;
    const int clientHeight = textSize.cy + kButtonHeight + 3 * kMargin;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    const RECT at = Centred(owner, frame.right - frame.left, frame.bottom - frame.top);
    const HWND box = CreateWindowExA(WS_EX_DLGMODALFRAME, kDialogClass, caption ? caption : "Error",
                                     style, at.left, at.top, at.right - at.left, at.bottom - at.top,
                                     owner, nullptr, nullptr, nullptr);
    const WindowPtr window = FindWindowObject(box);
    if (!window) {
        return nullptr;
    }
    auto info = std::make_unique<DialogInfo>();
    info->proc = &MessageBoxProc;
    info->defId = IDOK;
    window->extra = std::move(info);
    AddChild(box, "Static", text, SS_LEFT | SS_NOPREFIX,
             RECT{kMargin, kMargin, kMargin + textSize.cx, kMargin + textSize.cy}, -1);
    const int top = clientHeight - kMargin - kButtonHeight;
    int left = (clientWidth - buttons) / 2;
    AddChild(box, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP,
             RECT{left, top, left + kButtonWidth, top + kButtonHeight}, IDOK);
    if (withCancel) {
        left += kButtonWidth + kButtonGap;
        AddChild(box, "Button", "Cancel", BS_PUSHBUTTON | WS_TABSTOP,
                 RECT{left, top, left + kButtonWidth, top + kButtonHeight}, IDCANCEL);
    }
    window->Extra<DialogInfo>()->focus = GetDlgItem(box, IDOK);
    return box;
}

int Run(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    const HWND owner = hWnd ? TopLevelOf(hWnd) : nullptr;
    const bool disable = owner && IsWindowEnabled(owner);
    if (disable) {
        EnableWindow(owner, FALSE);
    }
    const HWND box = BuildBox(owner, lpText ? lpText : "", lpCaption, uType);
    if (!box) {
        if (disable) {
            EnableWindow(owner, TRUE);
        }
        return 0;
    }
    DialogInfoOf(box)->ownerDisabled = disable;
    ShowWindow(box, SW_SHOWNORMAL);
    const INT_PTR result = RunDialogLoop(box);
    const DialogInfo* info = DialogInfoOf(box);
    if (disable && info && info->ownerDisabled) {
        EnableWindow(owner, TRUE);
    }
    if (owner && GetActiveWindow() == box) {
        SetActiveWindow(owner);
    }
    DestroyWindow(box);
    return static_cast<int>(result);
}

} // namespace

} // namespace platform::user

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    try {
        return platform::user::Run(hWnd, lpText, lpCaption, uType);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
}
