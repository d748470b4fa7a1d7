#include "Menu.h"

#include "Window.h"
#include "platform/internal/handle_table.h"
#include "platform/kernel32.h"

#include <cstring>

namespace platform::user {

namespace {

HandleTable<Menu>& Menus() {
    static HandleTable<Menu> table;
    return table;
}

HMENU AddMenu(std::shared_ptr<Menu> menu) {
    const std::uintptr_t value = Menus().Insert(std::move(menu));
    if (!value) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return reinterpret_cast<HMENU>(value);
}

HMENU DefaultSystemMenu() {
    auto menu = std::make_shared<Menu>();
    menu->items = {MenuItem{MF_STRING, SC_MOVE, "&Move"}, MenuItem{MF_SEPARATOR, 0, ""},
                   MenuItem{MF_STRING, SC_CLOSE, "&Close\tAlt+F4"}};
    return AddMenu(std::move(menu));
}

const MenuItem* FindItem(const Menu& menu, UINT item, UINT flags) {
    if (flags & MF_BYPOSITION) {
        return item < menu.items.size() ? &menu.items[item] : nullptr;
    }
    for (const MenuItem& it : menu.items) {
        if (!(it.flags & MF_SEPARATOR) && it.id == item) {
            return &it;
        }
    }
    return nullptr;
}

} // namespace

std::shared_ptr<Menu> GetMenuObject(HMENU menu) {
    auto object = Menus().Get(reinterpret_cast<std::uintptr_t>(menu));
    if (!object) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
    }
    return object;
}

} // namespace platform::user

using namespace platform::user;

HMENU WINAPI CreatePopupMenu() {
    try {
        return AddMenu(std::make_shared<Menu>());
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

BOOL WINAPI DestroyMenu(HMENU hMenu) {
    if (!Menus().Remove(reinterpret_cast<std::uintptr_t>(hMenu))) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    return TRUE;
}

HMENU WINAPI GetSystemMenu(HWND hWnd, BOOL bRevert) {
    const WindowPtr window = GetWindowObject(hWnd);
    if (!window || window->IsChild()) {
        return nullptr;
    }
    if (bRevert) {
        if (window->systemMenu) {
            DestroyMenu(window->systemMenu);
            window->systemMenu = nullptr;
        }
        return nullptr;
    }
    if (!window->systemMenu) {
        try {
            window->systemMenu = DefaultSystemMenu();
        } catch (const std::bad_alloc&) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        }
    }
    return window->systemMenu;
}

BOOL WINAPI AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
    const auto menu = GetMenuObject(hMenu);
    if (!menu) {
        return FALSE;
    }
    MenuItem item{uFlags, uIDNewItem, ""};
    if (!(uFlags & MF_SEPARATOR)) {
        if (!lpNewItem) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        item.text = lpNewItem;
    }
    try {
        menu->items.push_back(std::move(item));
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    return TRUE;
}

int WINAPI GetMenuItemCount(HMENU hMenu) {
    const auto menu = GetMenuObject(hMenu);
    return menu ? static_cast<int>(menu->items.size()) : -1;
}

UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos) {
    const auto menu = GetMenuObject(hMenu);
    if (!menu || nPos < 0 || static_cast<std::size_t>(nPos) >= menu->items.size()) {
        return static_cast<UINT>(-1);
    }
    const MenuItem& item = menu->items[static_cast<std::size_t>(nPos)];
    return (item.flags & MF_SEPARATOR) ? 0 : static_cast<UINT>(item.id);
}

int WINAPI GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags) {
    const auto menu = GetMenuObject(hMenu);
    const MenuItem* item = menu ? FindItem(*menu, uIDItem, flags) : nullptr;
    if (!item) {
        return 0;
    }
    if (!lpString || cchMax <= 0) {
        return static_cast<int>(item->text.size());
    }
    const int n = std::min<int>(static_cast<int>(item->text.size()), cchMax - 1);
    std::memcpy(lpString, item->text.data(), static_cast<std::size_t>(n));
    lpString[n] = '\0';
    return n;
}

UINT WINAPI GetMenuState(HMENU hMenu, UINT uId, UINT uFlags) {
    const auto menu = GetMenuObject(hMenu);
    const MenuItem* item = menu ? FindItem(*menu, uId, uFlags) : nullptr;
    return item ? item->flags : static_cast<UINT>(-1);
}
