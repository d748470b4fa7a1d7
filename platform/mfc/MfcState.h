// The framework's per-thread state: the window handle maps and the message being handled.
#pragma once

#include "platform/afx/CWnd.h"

#include <memory>
#include <unordered_map>

namespace platform::mfc {

struct MfcState {
    std::unordered_map<HWND, CWnd*> permanent;
    std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary;
    MSG lastSent{};          // what Default() processes
    MSG current{};           // what the message pump retrieved last
    HHOOK cbtHook = nullptr; // while a CWnd creates its window
    CWnd* wndInit = nullptr; // the object the next window created belongs to
};

MfcState& State();

} // namespace platform::mfc
