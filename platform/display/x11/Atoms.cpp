#include "Atoms.h"

#include <array>
#include <utility>

namespace platform::display::x11 {

Atoms Atoms::Intern(Display* display) {
    Atoms atoms;
    const std::array<std::pair<const char*, Atom*>, 18> table{{
        {"WM_PROTOCOLS", &atoms.wmProtocols},
        {"WM_DELETE_WINDOW", &atoms.wmDeleteWindow},
        {"UTF8_STRING", &atoms.utf8String},
        {"_NET_WM_NAME", &atoms.netWmName},
        {"_NET_WM_ICON", &atoms.netWmIcon},
        {"_NET_WM_PID", &atoms.netWmPid},
        {"_NET_WM_WINDOW_TYPE", &atoms.netWmWindowType},
        {"_NET_WM_WINDOW_TYPE_NORMAL", &atoms.typeNormal},
        {"_NET_WM_WINDOW_TYPE_DIALOG", &atoms.typeDialog},
        {"_NET_WM_WINDOW_TYPE_TOOLTIP", &atoms.typeTooltip},
        {"_NET_WM_WINDOW_TYPE_POPUP_MENU", &atoms.typePopupMenu},
        {"_NET_WM_WINDOW_TYPE_DROPDOWN_MENU", &atoms.typeDropdownMenu},
        {"_MOTIF_WM_HINTS", &atoms.motifWmHints},
        {"_NET_SUPPORTED", &atoms.netSupported},
        {"_NET_SUPPORTING_WM_CHECK", &atoms.netSupportingWmCheck},
        {"_NET_WM_MOVERESIZE", &atoms.netWmMoveResize},
        {"_NET_WORKAREA", &atoms.netWorkArea},
        {"_NET_CURRENT_DESKTOP", &atoms.netCurrentDesktop},
    }};
    std::array<char*, table.size()> names{};
    std::array<Atom, table.size()> values{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        names[i] = const_cast<char*>(table[i].first);
    }
    XInternAtoms(display, names.data(), static_cast<int>(names.size()), False, values.data());
    for (std::size_t i = 0; i < table.size(); ++i) {
        *table[i].second = values[i];
    }
    return atoms;
}

} // namespace platform::display::x11
