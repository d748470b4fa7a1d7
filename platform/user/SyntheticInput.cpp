// SendInput and SetCursorPos: made-up input goes through the display, so it reaches windows
// by the same path, in the same order, as the user's own.
#include "display/display.h"
#include "platform/kernel32.h"
#include "platform/user32.h"

#include <algorithm>

namespace {

struct ButtonFlag {
    DWORD flag;
    int button;
    bool down;
};

constexpr ButtonFlag kButtonFlags[] = {
    {MOUSEEVENTF_LEFTDOWN, 1, true},   {MOUSEEVENTF_LEFTUP, 1, false},
    {MOUSEEVENTF_RIGHTDOWN, 3, true},  {MOUSEEVENTF_RIGHTUP, 3, false},
    {MOUSEEVENTF_MIDDLEDOWN, 2, true}, {MOUSEEVENTF_MIDDLEUP, 2, false},
};

POINT ClampToScreen(POINT p, const RECT& screen) {
    return POINT{std::clamp(p.x, screen.left, std::max(screen.left, screen.right - 1)),
                 std::clamp(p.y, screen.top, std::max(screen.top, screen.bottom - 1))};
}

// 0..65535 spans the screen; each pixel owns an equal share of that range.
LONG Denormalise(LONG value, LONG origin, LONG extent) {
    return origin + static_cast<LONG>((static_cast<long long>(value) * extent) / 65536);
}

POINT MoveTarget(platform::display::Backend& display, const MOUSEINPUT& mi) {
    const RECT screen = display.ScreenRect();
    if (mi.dwFlags & MOUSEEVENTF_ABSOLUTE) {
        return ClampToScreen(POINT{Denormalise(mi.dx, screen.left, screen.right - screen.left),
                                   Denormalise(mi.dy, screen.top, screen.bottom - screen.top)},
                             screen);
    }
    const POINT at = display.CursorPos();
    return ClampToScreen(POINT{at.x + mi.dx, at.y + mi.dy}, screen);
}

bool SendMouse(platform::display::Backend& display, const MOUSEINPUT& mi) {
    if ((mi.dwFlags & MOUSEEVENTF_MOVE) && !display.InjectMove(MoveTarget(display, mi))) {
        return false;
    }
    for (const ButtonFlag& b : kButtonFlags) {
        if ((mi.dwFlags & b.flag) && !display.InjectButton(b.button, b.down)) {
            return false;
        }
    }
    return true;
}

// Characters and scan codes without a virtual key have no meaning to this keyboard.
bool IsSendableKey(const KEYBDINPUT& ki) {
    return (ki.dwFlags & (KEYEVENTF_UNICODE | KEYEVENTF_SCANCODE)) == 0 && ki.wVk != 0 &&
           ki.wVk <= 0xFE;
}

DWORD SendOne(platform::display::Backend& display, const INPUT& input) {
    switch (input.type) {
    case INPUT_MOUSE:
        return SendMouse(display, input.mi) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    case INPUT_KEYBOARD:
        if (!IsSendableKey(input.ki)) {
            return ERROR_INVALID_PARAMETER;
        }
        return display.InjectKey(input.ki.wVk, (input.ki.dwFlags & KEYEVENTF_KEYUP) == 0)
                   ? ERROR_SUCCESS
                   : ERROR_ACCESS_DENIED;
    default:
        return ERROR_INVALID_PARAMETER;
    }
}

} // namespace

UINT WINAPI SendInput(UINT cInputs, LPINPUT pInputs, int cbSize) {
    if (cbSize != static_cast<int>(sizeof(INPUT)) || (cInputs != 0 && !pInputs)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    platform::display::Backend* display = platform::display::CurrentBackend();
    if (!display) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    for (UINT i = 0; i < cInputs; ++i) {
        const DWORD error = SendOne(*display, pInputs[i]);
        if (error != ERROR_SUCCESS) {
            SetLastError(error);
            return i;
        }
    }
    return cInputs;
}

BOOL WINAPI SetCursorPos(int X, int Y) {
    platform::display::Backend* display = platform::display::CurrentBackend();
    if (!display || !display->InjectMove(ClampToScreen(POINT{X, Y}, display->ScreenRect()))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}
