#include "Dialog.h"
#include "SysColors.h"
#include "Window.h"

namespace platform::user {

namespace {

// Messages whose answer a dialog procedure returns directly rather than in DWLP_MSGRESULT.
bool AnswersDirectly(UINT msg) {
    return msg == WM_INITDIALOG || msg == WM_QUERYDRAGICON;
}

void RestoreFocus(HWND dialog, DialogInfo& info) {
    HWND target = info.focus && IsWindow(info.focus) ? info.focus : FirstTabStop(dialog);
    SetFocus(target ? target : dialog);
}

LRESULT DefaultDialog(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, DialogInfo* info) {
    switch (msg) {
    case WM_CLOSE:
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDCANCEL)));
        return 0;
    case DM_GETDEFID:
        return info && info->defId ? MAKELONG(info->defId, DC_HASDEFID) : 0;
    case DM_SETDEFID:
        if (info) {
            info->defId = static_cast<WORD>(wParam);
        }
        return TRUE;
    case WM_ACTIVATE:
        if (!info) {
            break;
        }
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (IsChild(hwnd, focus)) {
                info->focus = focus;
            }
        } else {
            RestoreFocus(hwnd, *info);
        }
        return 0;
    case WM_SETFOCUS:
        if (info && info->focus && IsWindow(info->focus)) {
            SetFocus(info->focus);
        }
        return 0;
    case WM_INITDIALOG:
        return FALSE;
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

} // namespace platform::user

using namespace platform::user;

LRESULT WINAPI DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
    DialogInfo* info = DialogInfoOf(hDlg);
    if (info && info->proc) {
        SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, 0);
        const INT_PTR handled = info->proc(hDlg, Msg, wParam, lParam);
        if (handled) {
            return AnswersDirectly(Msg) ? handled : GetWindowLongPtrA(hDlg, DWLP_MSGRESULT);
        }
        if (!IsWindow(hDlg)) {
            return 0;
        }
        info = DialogInfoOf(hDlg);
    }
    return DefaultDialog(hDlg, Msg, wParam, lParam, info);
}
