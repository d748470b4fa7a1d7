#include "WindowClass.h"

#include "platform/commctrl.h"
#include "platform/kernel32.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <vector>

namespace platform::user {

namespace {

bool SameName(const std::string& a, const char* b) {
    return std::equal(a.begin(), a.end(), b, b + std::char_traits<char>::length(b),
                      [](char x, char y) {
                          return std::tolower(static_cast<unsigned char>(x)) ==
                                 std::tolower(static_cast<unsigned char>(y));
                      });
}

std::shared_ptr<WindowClass> Builtin(const char* name, WNDPROC proc, HBRUSH background) {
    auto cls = std::make_shared<WindowClass>();
    cls->name = name;
    cls->proc = proc;
    cls->background = background;
    cls->system = true;
    return cls;
}

HBRUSH SysBrush(int index) {
    return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(index + 1));
}

struct Registry {
    std::mutex mutex;
    std::vector<std::shared_ptr<WindowClass>> classes;

    Registry() {
        classes = {Builtin(kDialogClass, &DefDlgProcA, SysBrush(COLOR_3DFACE)),
                   Builtin("Button", &ButtonProc, nullptr),
                   Builtin("Static", &StaticProc, nullptr),
                   Builtin(PROGRESS_CLASSA, &ProgressProc, nullptr),
                   Builtin(TOOLTIPS_CLASSA, &TooltipProc, nullptr),
                   Builtin(kMenuClass, &MenuProc, nullptr)};
    }

    std::shared_ptr<WindowClass> Find(const char* name) {
        for (const auto& cls : classes) {
            if (SameName(cls->name, name)) {
                return cls;
            }
        }
        return nullptr;
    }
};

Registry& Classes() {
    static Registry registry;
    return registry;
}

} // namespace

std::shared_ptr<const WindowClass> FindClass(LPCSTR name) {
    if (!name || IS_INTRESOURCE(name)) {
        return nullptr;
    }
    Registry& registry = Classes();
    std::lock_guard lock(registry.mutex);
    return registry.Find(name);
}

} // namespace platform::user

using platform::user::Classes;

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
    if (!lpWndClass || !lpWndClass->lpszClassName || IS_INTRESOURCE(lpWndClass->lpszClassName) ||
        !lpWndClass->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto& registry = Classes();
    std::lock_guard lock(registry.mutex);
    if (registry.Find(lpWndClass->lpszClassName)) {
        SetLastError(1410); // ERROR_CLASS_ALREADY_EXISTS
        return 0;
    }
    try {
        auto cls = std::make_shared<platform::user::WindowClass>();
        cls->name = lpWndClass->lpszClassName;
        cls->proc = lpWndClass->lpfnWndProc;
        cls->style = lpWndClass->style;
        cls->background = lpWndClass->hbrBackground;
        cls->icon = lpWndClass->hIcon;
        cls->instance = lpWndClass->hInstance;
        registry.classes.push_back(std::move(cls));
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    return static_cast<ATOM>(0xC000 + registry.classes.size());
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE) {
    auto& registry = Classes();
    std::lock_guard lock(registry.mutex);
    const auto cls = registry.Find(lpClassName ? lpClassName : "");
    if (!cls || cls->system) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return FALSE;
    }
    std::erase(registry.classes, cls);
    return TRUE;
}

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
    return picce && picce->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}
