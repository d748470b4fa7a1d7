#include "Dialog.h"
#include "Window.h"
#include "platform/kernel32.h"

namespace platform::user {

INT_PTR RunDialogLoop(HWND hwnd) {
    MSG msg{};
    for (;;) {
        const DialogInfo* info = DialogInfoOf(hwnd);
        if (!info || info->ended) {
            break;
        }
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            // The quit belongs to an enclosing loop too: hand it on.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!IsDialogMessageA(hwnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    const DialogInfo* info = DialogInfoOf(hwnd);
    return info && info->ended ? info->result : 0;
}

INT_PTR DialogBoxFromTemplate(HINSTANCE instance, const void* data, std::size_t size, HWND owner,
                              DLGPROC proc, LPARAM param) {
    const HWND top = owner ? TopLevelOf(owner) : nullptr;
    const bool disable = top && IsWindowEnabled(top);
    if (disable) {
        EnableWindow(top, FALSE);
    }
    const HWND hwnd = CreateDialogFromTemplate(instance, data, size, top, proc, param);
    if (!hwnd) {
        if (disable) {
            EnableWindow(top, TRUE);
        }
        return -1;
    }
    if (DialogInfo* info = DialogInfoOf(hwnd)) {
        info->ownerDisabled = disable;
    }
    if (!IsWindowVisible(hwnd)) {
        ShowWindow(hwnd, SW_SHOWNORMAL);
    }
    const INT_PTR result = RunDialogLoop(hwnd);
    const DialogInfo* info = DialogInfoOf(hwnd);
    if (disable && info && info->ownerDisabled) {
        EnableWindow(top, TRUE);
    }
    if (top && GetActiveWindow() == hwnd) {
        SetActiveWindow(top);
    }
    DestroyWindow(hwnd);
    return result;
}

} // namespace platform::user

using namespace platform::user;

INT_PTR WINAPI DialogBoxIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA hDialogTemplate,
                                       HWND hWndParent, DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    return DialogBoxFromTemplate(hInstance, hDialogTemplate, UnsizedTemplateBytes(hDialogTemplate),
                                 hWndParent, lpDialogFunc, dwInitParam);
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    const HRSRC res = FindResourceA(hInstance, lpTemplateName, RT_DIALOG);
    const HGLOBAL loaded = res ? LoadResource(hInstance, res) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) {
        return -1;
    }
    return DialogBoxFromTemplate(hInstance, data, SizeofResource(hInstance, res), hWndParent,
                                 lpDialogFunc, dwInitParam);
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
    DialogInfo* info = DialogInfoOf(hDlg);
    if (!info) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    info->ended = true;
    info->result = nResult;
    const HWND owner = GetWindow(hDlg, GW_OWNER);
    if (info->ownerDisabled && owner) {
        EnableWindow(owner, TRUE);
        info->ownerDisabled = false;
    }
    const bool wasActive = GetActiveWindow() == hDlg;
    SetWindowPos(hDlg, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (wasActive && owner) {
        SetActiveWindow(owner);
    }
    // Wakes the dialog's loop so it sees the end at once.
    PostMessageA(hDlg, WM_NULL, 0, 0);
    return TRUE;
}
