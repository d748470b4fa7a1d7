#include "Dialog.h"
#include "NonClient.h"
#include "Painting.h"
#include "Window.h"
#include "platform/kernel32.h"

#include <algorithm>
#include <cstring>

namespace platform::user {

namespace {

void SetStyle(Window& window, DWORD style) {
    const DWORD frameBits = WS_CAPTION | WS_BORDER | WS_DLGFRAME | WS_SYSMENU;
    const bool frameChanged = ((window.style ^ style) & frameBits) != 0;
    window.style = style;
    if (frameChanged) {
        InvalidateWhole(window, true);
    }
}

LONG_PTR DialogLong(Window& window, int index, const LONG_PTR* value) {
    DialogInfo* info = window.Extra<DialogInfo>();
    LONG_PTR* slot = index == DWLP_MSGRESULT ? &window.dlgMsgResult
                     : index == DWLP_USER    ? &window.dlgUser
                                             : nullptr;
    if (index == DWLP_DLGPROC && info) {
        const auto old = reinterpret_cast<LONG_PTR>(info->proc);
        if (value) {
            info->proc = reinterpret_cast<DLGPROC>(*value);
        }
        return old;
    }
    if (!slot) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const LONG_PTR old = *slot;
    if (value) {
        *slot = *value;
    }
    return old;
}

LONG_PTR AccessLong(HWND hwnd, int index, const LONG_PTR* value) {
    const WindowPtr window = GetWindowObject(hwnd);
    if (!window) {
        return 0;
    }
    if (value && IsDesktop(*window)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    Window& w = *window;
    LONG_PTR old = 0;
    switch (index) {
    case GWL_STYLE:
        old = w.style;
        if (value) {
            SetStyle(w, static_cast<DWORD>(*value));
        }
        return old;
    case GWL_EXSTYLE:
        old = w.exStyle;
        if (value) {
            w.exStyle = static_cast<DWORD>(*value);
        }
        return old;
    case GWLP_WNDPROC:
        old = reinterpret_cast<LONG_PTR>(w.proc);
        if (value) {
            w.proc = reinterpret_cast<WNDPROC>(*value);
        }
        return old;
    case GWLP_ID:
        old = w.id;
        if (value) {
            w.id = *value;
        }
        return old;
    case GWLP_USERDATA:
        old = w.userData;
        if (value) {
            w.userData = *value;
        }
        return old;
    case GWL_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(w.instance);
    case GWL_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(w.IsChild() ? w.parent : w.owner);
    default:
        if (index >= 0 && w.cls->proc == &DefDlgProcA) {
            return DialogLong(w, index, value);
        }
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
}

} // namespace

} // namespace platform::user

using namespace platform::user;

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
    return AccessLong(hWnd, nIndex, nullptr);
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    return AccessLong(hWnd, nIndex, &dwNewLong);
}

LONG WINAPI GetWindowLongA(HWND hWnd, int nIndex) {
    return static_cast<LONG>(GetWindowLongPtrA(hWnd, nIndex));
}

LONG WINAPI SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
    return static_cast<LONG>(SetWindowLongPtrA(hWnd, nIndex, dwNewLong));
}

BOOL WINAPI IsWindow(HWND hWnd) {
    return FindWindowObject(hWnd) != nullptr;
}

BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd) {
    return IsDescendant(hWndParent, hWnd);
}

HWND WINAPI GetParent(HWND hWnd) {
    const WindowPtr window = GetWindowObject(hWnd);
    if (!window) {
        return nullptr;
    }
    // Windows answers with the owner for pop-up windows, and MFC relies on it.
    if (window->IsChild()) {
        return window->parent;
    }
    return (window->style & WS_POPUP) ? window->owner : nullptr;
}

HWND WINAPI GetDesktopWindow() {
    return DesktopWindow();
}

namespace {

std::vector<HWND> Siblings(const Window& window) {
    if (const WindowPtr parent = window.IsChild() ? FindWindowObject(window.parent) : nullptr) {
        return parent->children;
    }
    return {};
}

} // namespace

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
    const WindowPtr window = GetWindowObject(hWnd);
    if (!window) {
        return nullptr;
    }
    switch (uCmd) {
    case GW_OWNER:
        return window->IsChild() ? nullptr : window->owner;
    case GW_CHILD:
        return window->children.empty() ? nullptr : window->children.front();
    case GW_HWNDFIRST:
    case GW_HWNDLAST:
    case GW_HWNDNEXT:
    case GW_HWNDPREV: {
        const std::vector<HWND> siblings = Siblings(*window);
        const auto it = std::find(siblings.begin(), siblings.end(), hWnd);
        if (siblings.empty() || it == siblings.end()) {
            return nullptr;
        }
        if (uCmd == GW_HWNDFIRST) {
            return siblings.front();
        }
        if (uCmd == GW_HWNDLAST) {
            return siblings.back();
        }
        if (uCmd == GW_HWNDNEXT) {
            return it + 1 == siblings.end() ? nullptr : *(it + 1);
        }
        return it == siblings.begin() ? nullptr : *(it - 1);
    }
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

int WINAPI GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
    const WindowPtr window = GetWindowObject(hWnd);
    if (!window || !lpClassName || nMaxCount <= 0) {
        return 0;
    }
    const std::string& name = window->cls->name;
    const int n = std::min<int>(static_cast<int>(name.size()), nMaxCount - 1);
    std::memcpy(lpClassName, name.data(), static_cast<std::size_t>(n));
    lpClassName[n] = '\0';
    return n;
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    if (!GetWindowObject(hWnd)) {
        return FALSE;
    }
    return SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) != 0;
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    if (!GetWindowObject(hWnd) || !lpString || nMaxCount <= 0) {
        return 0;
    }
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                         reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthA(HWND hWnd) {
    if (!GetWindowObject(hWnd)) {
        return 0;
    }
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    const WindowPtr window = GetWindowObject(hWnd);
    return window && window->IsChild() ? static_cast<int>(window->id) : 0;
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    const WindowPtr dialog = GetWindowObject(hDlg);
    if (!dialog) {
        return nullptr;
    }
    for (HWND child : dialog->children) {
        const WindowPtr c = FindWindowObject(child);
        if (c && static_cast<int>(c->id) == nIDDlgItem) {
            return child;
        }
    }
    SetLastError(ERROR_NOT_FOUND);
    return nullptr;
}
