#include "MfcState.h"

namespace platform::mfc {

MfcState& State() {
    thread_local MfcState state;
    return state;
}

} // namespace platform::mfc

using platform::mfc::State;

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    const auto& map = State().permanent;
    const auto it = map.find(hWnd);
    return it == map.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (!hWnd) {
        return nullptr;
    }
    if (CWnd* permanent = FromHandlePermanent(hWnd)) {
        return permanent;
    }
    auto& temporary = State().temporary;
    auto& slot = temporary[hWnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hWnd;
    }
    return slot.get();
}

void CWnd::DeleteTempMap() {
    auto temporary = std::move(State().temporary);
    for (auto& [hwnd, wnd] : temporary) {
        wnd->m_hWnd = nullptr; // a temporary never destroys the window it stood for
    }
}

BOOL CWnd::Attach(HWND hWndNew) {
    if (!hWndNew || m_hWnd || FromHandlePermanent(hWndNew)) {
        return FALSE;
    }
    m_hWnd = hWndNew;
    State().permanent[hWndNew] = this;
    return TRUE;
}

HWND CWnd::Detach() {
    const HWND hWnd = m_hWnd;
    if (hWnd && FromHandlePermanent(hWnd) == this) {
        State().permanent.erase(hWnd);
    }
    m_hWnd = nullptr;
    return hWnd;
}
