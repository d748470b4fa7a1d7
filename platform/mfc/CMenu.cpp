#include "platform/afx/CMenu.h"

#include <memory>
#include <unordered_map>

namespace {

std::unordered_map<HMENU, std::unique_ptr<CMenu>>& Temporary() {
    thread_local std::unordered_map<HMENU, std::unique_ptr<CMenu>> map;
    return map;
}

} // namespace

CMenu::~CMenu() {
    DestroyMenu();
}

CMenu* CMenu::FromHandle(HMENU hMenu) {
    if (!hMenu) {
        return nullptr;
    }
    auto& slot = Temporary()[hMenu];
    if (!slot) {
        slot = std::make_unique<CMenu>();
        slot->m_hMenu = hMenu;
    }
    return slot.get();
}

void CMenu::DeleteTempMap() {
    auto temporary = std::move(Temporary());
    for (auto& [handle, menu] : temporary) {
        menu->m_hMenu = nullptr; // a temporary never destroys the menu it stood for
    }
}

BOOL CMenu::Attach(HMENU hMenu) {
    if (!hMenu || m_hMenu) {
        return FALSE;
    }
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach() {
    const HMENU hMenu = m_hMenu;
    m_hMenu = nullptr;
    return hMenu;
}

BOOL CMenu::DestroyMenu() {
    if (!m_hMenu) {
        return FALSE;
    }
    return ::DestroyMenu(Detach());
}
