#include "Dialog.h"
#include "Window.h"

#include <algorithm>
#include <vector>

namespace platform::user {

namespace {

void PressReturn(HWND dialog, const MSG& msg) {
    const LRESULT code =
        SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if ((code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) && msg.hwnd != dialog &&
        IsWindowEnabled(msg.hwnd)) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(msg.hwnd), BN_CLICKED),
                     reinterpret_cast<LPARAM>(msg.hwnd));
        return;
    }
    const LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    const HWND button = HIWORD(def) == DC_HASDEFID ? GetDlgItem(dialog, LOWORD(def)) : nullptr;
    if (button && IsWindowEnabled(button)) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(LOWORD(def), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        return;
    }
    SendMessageA(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

void MoveFocus(HWND dialog, bool backwards) {
    std::vector<HWND> stops;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongA(c, GWL_STYLE);
        if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) {
            stops.push_back(c);
        }
    }
    if (stops.empty()) {
        return;
    }
    const auto it = std::find(stops.begin(), stops.end(), GetFocus());
    std::size_t index = it == stops.end() ? 0 : static_cast<std::size_t>(it - stops.begin());
    if (it != stops.end()) {
        index = backwards ? (index + stops.size() - 1) % stops.size() : (index + 1) % stops.size();
    }
    SetFocus(stops[index]);
}

bool HandleKey(HWND dialog, const MSG& msg) {
    const LRESULT code =
        SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if (code & DLGC_WANTALLKEYS) {
        return false;
    }
    switch (msg.wParam) {
    case VK_ESCAPE:
        SendMessageA(dialog, WM_COMMAND, IDCANCEL,
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        return true;
    case VK_RETURN:
        PressReturn(dialog, msg);
        return true;
    case VK_TAB:
        if (code & DLGC_WANTTAB) {
            return false;
        }
        MoveFocus(dialog, GetKeyState(VK_SHIFT) < 0);
        return true;
    default:
        return false;
    }
}

} // namespace

} // namespace platform::user

using namespace platform::user;

BOOL WINAPI IsDialogMessageA(HWND hDlg, LPMSG lpMsg) {
    if (!hDlg || !lpMsg || (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd))) {
        return FALSE;
    }
    if (lpMsg->message == WM_KEYDOWN && HandleKey(hDlg, *lpMsg)) {
        return TRUE;
    }
    TranslateMessage(lpMsg);
    DispatchMessageA(lpMsg);
    return TRUE;
}
