#include "Dialog.h"
#include "DialogTemplate.h"
#include "Window.h"
#include "WindowClass.h"
#include "platform/gdi32.h"
#include "platform/internal/resource_bytes.h"
#include "platform/kernel32.h"

#include <cstdio>
#include <new>

namespace platform::user {

namespace {

// The classic System font's base units, for templates without DS_SETFONT.
constexpr int kSystemBaseX = 8;
constexpr int kSystemBaseY = 16;
constexpr int kLogicalDpi = 96;
// Templates give at most this many bytes when the caller cannot say how long they are and
// they lie in no resource.
constexpr std::size_t kUnsizedTemplateLimit = 0x10000;

HFONT CreateTemplateFont(const DialogTemplate& t) {
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(t.pointSize, kLogicalDpi, 72);
    lf.lfWeight = t.weight ? t.weight : FW_NORMAL;
    lf.lfItalic = t.italic ? 1 : 0;
    lf.lfCharSet = t.charset;
    lf.lfQuality = ANTIALIASED_QUALITY;
    std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", t.faceName.c_str());
    return CreateFontIndirectA(&lf);
}

// Base units from the font: the average character width and the character height.
void MeasureFont(HFONT font, DialogInfo& info) {
    const HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) {
        return;
    }
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm{};
    if (GetTextMetricsA(dc, &tm) && tm.tmAveCharWidth > 0 && tm.tmHeight > 0) {
        info.baseX = tm.tmAveCharWidth;
        info.baseY = tm.tmHeight;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
}

std::unique_ptr<DialogInfo> MakeInfo(const DialogTemplate& t, DLGPROC proc) {
    auto info = std::make_unique<DialogInfo>();
    info->proc = proc;
    info->baseX = kSystemBaseX;
    info->baseY = kSystemBaseY;
    if (t.hasFont) {
        info->font = CreateTemplateFont(t);
        info->ownsFont = info->font != nullptr;
        if (info->font) {
            MeasureFont(info->font, *info);
        }
    }
    return info;
}

RECT DialogUnitsToPixels(const DialogInfo& info, short x, short y, short cx, short cy) {
    const int left = MulDiv(x, info.baseX, 4);
    const int top = MulDiv(y, info.baseY, 8);
    return RECT{left, top, left + MulDiv(cx, info.baseX, 4), top + MulDiv(cy, info.baseY, 8)};
}

RECT WorkArea() {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

RECT DialogWindowRect(const DialogTemplate& t, const DialogInfo& info, DWORD style, DWORD exStyle,
                      HWND owner) {
    const RECT units = DialogUnitsToPixels(info, t.x, t.y, t.cx, t.cy);
    RECT rect{0, 0, units.right - units.left, units.bottom - units.top};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    POINT pos{rect.left + units.left, rect.top + units.top};
    if (t.style & DS_CENTER) {
        const RECT work = WorkArea();
        pos = POINT{work.left + (work.right - work.left - (rect.right - rect.left)) / 2,
                    work.top + (work.bottom - work.top - (rect.bottom - rect.top)) / 2};
    } else if (owner && !(style & (WS_CHILD | DS_ABSALIGN))) {
        ClientToScreen(owner, &pos);
    }
    OffsetRect(&rect, pos.x - rect.left, pos.y - rect.top);
    return rect;
}

std::string ClassNameOf(const NameOrOrdinal& cls) {
    if (!cls.present) {
        return "";
    }
    if (cls.isOrdinal) {
        const char* name = PredefinedClassName(cls.ordinal);
        return name ? name : "";
    }
    return cls.text;
}

// Programs marked for Windows 4.0 or later get the 3-D look: a control's WS_BORDER becomes a
// sunken client edge. Every program on this platform counts as such.
DWORD ControlExStyle(const DialogItem& item) {
    const DWORD edge = (item.style & WS_BORDER) ? WS_EX_CLIENTEDGE : 0;
    return item.exStyle | edge | WS_EX_NOPARENTNOTIFY;
}

HWND CreateControl(HWND dialog, HINSTANCE instance, const DialogItem& item, DialogInfo& info) {
    const std::string cls = ClassNameOf(item.windowClass);
    const RECT r = DialogUnitsToPixels(info, item.x, item.y, item.cx, item.cy);
    LPCSTR title =
        item.title.isOrdinal ? MAKEINTRESOURCEA(item.title.ordinal) : item.title.text.c_str();
    const LPVOID data =
        item.creationData.empty() ? nullptr : const_cast<BYTE*>(item.creationData.data());
    const HWND control = CreateWindowExA(
        ControlExStyle(item), cls.c_str(), title, (item.style & ~WS_BORDER) | WS_CHILD, r.left,
        r.top, r.right - r.left, r.bottom - r.top, dialog,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id & 0xFFFF)), instance, data);
    if (!control) {
        return nullptr;
    }
    if (info.font) {
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(info.font), FALSE);
    }
    if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) {
        info.defId = static_cast<WORD>(item.id);
    }
    return control;
}

bool CreateControls(HWND dialog, HINSTANCE instance, const DialogTemplate& t) {
    for (const DialogItem& item : t.items) {
        DialogInfo* info = DialogInfoOf(dialog);
        if (!info) {
            return false;
        }
        if (!CreateControl(dialog, instance, item, *info) && !(t.style & DS_NOFAILCREATE)) {
            return false;
        }
    }
    return true;
}

// A TRUE answer asks for the focus on the first tab stop.
void InitDialog(HWND hwnd, LPARAM param) {
    const HWND first = FirstTabStop(hwnd);
    if (!SendMessageA(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) || !first ||
        !IsWindow(first)) {
        return;
    }
    if (DialogInfo* di = DialogInfoOf(hwnd)) {
        di->focus = first;
    }
    if (GetActiveWindow() == hwnd) {
        SetFocus(first);
    }
}

// As on Windows, WM_INITDIALOG goes only to a dialog that has a dialog procedure.
HWND Create(HINSTANCE instance, const DialogTemplate& t, HWND owner, DLGPROC proc, LPARAM param) {
    auto info = MakeInfo(t, proc);
    const std::string cls = t.windowClass.present ? ClassNameOf(t.windowClass) : kDialogClass;
    const DWORD style = t.style & ~WS_VISIBLE;
    const DWORD exStyle = t.exStyle | ((t.style & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0);
    const RECT rect = DialogWindowRect(t, *info, style, exStyle, owner);
    const HWND hwnd = CreateWindowExA(exStyle, cls.c_str(), t.caption.c_str(), style, rect.left,
                                      rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                      owner, nullptr, instance, reinterpret_cast<LPVOID>(param));
    const WindowPtr window = FindWindowObject(hwnd);
    if (!window) {
        return nullptr;
    }
    window->extra = std::move(info);
    DialogInfo* dialog = DialogInfoOf(hwnd);
    if (dialog->font) {
        SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(dialog->font), FALSE);
    }
    if (!IsWindow(hwnd) || !CreateControls(hwnd, instance, t)) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (proc) {
        InitDialog(hwnd, param);
    }
    if (!IsWindow(hwnd)) {
        return nullptr;
    }
    if ((t.style & WS_VISIBLE) && !(GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE)) {
        ShowWindow(hwnd, SW_SHOWNORMAL);
    }
    return hwnd;
}

} // namespace

DialogInfo::~DialogInfo() {
    if (ownsFont && font) {
        DeleteObject(font);
    }
}

DialogInfo* DialogInfoOf(HWND hwnd) {
    const WindowPtr window = FindWindowObject(hwnd);
    return window ? window->Extra<DialogInfo>() : nullptr;
}

HWND FirstTabStop(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) {
            return child;
        }
    }
    return nullptr;
}

std::size_t UnsizedTemplateBytes(const void* data) {
    const std::size_t inResource = platform::kernel::ResourceBytesFrom(data);
    return inResource ? inResource : kUnsizedTemplateLimit;
}

HWND CreateDialogFromTemplate(HINSTANCE instance, const void* data, std::size_t size, HWND owner,
                              DLGPROC proc, LPARAM param) {
    try {
        DialogTemplate t;
        if (!ParseDialogTemplate(data, size, t)) {
            return nullptr;
        }
        if (owner && !IsWindow(owner)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        return Create(instance, t, owner, proc, param);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

} // namespace platform::user

using namespace platform::user;

HWND WINAPI CreateDialogIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA lpTemplate,
                                       HWND hWndParent, DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    return CreateDialogFromTemplate(hInstance, lpTemplate, UnsizedTemplateBytes(lpTemplate),
                                    hWndParent, lpDialogFunc, dwInitParam);
}

LONG WINAPI GetDialogBaseUnits() {
    return MAKELONG(kSystemBaseX, kSystemBaseY);
}

BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect) {
    const DialogInfo* info = DialogInfoOf(hDlg);
    if (!info || !lpRect) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *lpRect = RECT{MulDiv(lpRect->left, info->baseX, 4), MulDiv(lpRect->top, info->baseY, 8),
                   MulDiv(lpRect->right, info->baseX, 4), MulDiv(lpRect->bottom, info->baseY, 8)};
    return TRUE;
}
