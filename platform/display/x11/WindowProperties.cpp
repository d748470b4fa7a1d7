#include "WindowProperties.h"

#include "Utf8.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace platform::display::x11 {

namespace {

constexpr int kMaxIconSide = 512;

void SetAtoms(Display* display, Window window, Atom property, const std::vector<Atom>& values) {
    XChangeProperty(display, window, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()),
                    static_cast<int>(values.size()));
}

void SetCardinals(Display* display, Window window, Atom property, Atom type,
                  const std::vector<long>& values) {
    XChangeProperty(display, window, property, type, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()),
                    static_cast<int>(values.size()));
}

void SetUtf8(Display* display, Window window, Atom property, Atom utf8, const std::string& text) {
    XChangeProperty(display, window, property, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.data()),
                    static_cast<int>(text.size()));
}

std::string HostName() {
    std::array<char, HOST_NAME_MAX + 1> name{};
    if (gethostname(name.data(), name.size() - 1) != 0) {
        return {};
    }
    return name.data();
}

void SetClass(Display* display, Window window) {
    std::string name = program_invocation_short_name;
    std::string className = "Nerith";
    XClassHint hint{name.data(), className.data()};
    XSetClassHint(display, window, &hint);
}

} // namespace

void SetWindowType(Display* display, const Atoms& atoms, Window window, WindowKind kind) {
    switch (kind) {
    case WindowKind::Normal:
        SetAtoms(display, window, atoms.netWmWindowType, {atoms.typeNormal});
        return;
    case WindowKind::Dialog:
        SetAtoms(display, window, atoms.netWmWindowType, {atoms.typeDialog});
        return;
    case WindowKind::Tooltip:
        SetAtoms(display, window, atoms.netWmWindowType, {atoms.typeTooltip});
        return;
    case WindowKind::Menu:
        SetAtoms(display, window, atoms.netWmWindowType,
                 {atoms.typePopupMenu, atoms.typeDropdownMenu});
        return;
    }
}

void SetUndecorated(Display* display, const Atoms& atoms, Window window) {
    constexpr long kDecorationsFlag = 1L << 1;
    SetCardinals(display, window, atoms.motifWmHints, atoms.motifWmHints,
                 {kDecorationsFlag, 0, 0, 0, 0});
}

void SetOwner(Display* display, Window window, Window owner) {
    if (owner != 0) {
        XSetTransientForHint(display, window, owner);
    }
}

void SetIdentity(Display* display, const Atoms& atoms, Window window) {
    SetClass(display, window);
    const std::string host = HostName();
    if (!host.empty()) {
        XChangeProperty(display, window, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(host.data()),
                        static_cast<int>(host.size()));
    }
    SetCardinals(display, window, atoms.netWmPid, XA_CARDINAL, {static_cast<long>(getpid())});
    Atom protocols[] = {atoms.wmDeleteWindow};
    XSetWMProtocols(display, window, protocols, 1);
    XWMHints hints{};
    hints.flags = InputHint | StateHint;
    hints.input = True;
    hints.initial_state = NormalState;
    XSetWMHints(display, window, &hints);
}

void SetTitle(Display* display, const Atoms& atoms, Window window, const std::string& title) {
    const std::string text = ToUtf8(title);
    SetUtf8(display, window, atoms.netWmName, atoms.utf8String, text);
    SetUtf8(display, window, XA_WM_NAME, atoms.utf8String, text);
}

bool SetIcon(Display* display, const Atoms& atoms, Window window, int width, int height,
             const std::vector<std::uint32_t>& argb) {
    if (width == 0 && height == 0 && argb.empty()) {
        XDeleteProperty(display, window, atoms.netWmIcon);
        return true;
    }
    if (width <= 0 || height <= 0 || width > kMaxIconSide || height > kMaxIconSide ||
        argb.size() != static_cast<std::size_t>(width) * height) {
        return false;
    }
    // Format-32 properties travel as longs on the client side, whatever their width.
    std::vector<long> values;
    values.reserve(argb.size() + 2);
    values.push_back(width);
    values.push_back(height);
    for (std::uint32_t pixel : argb) {
        values.push_back(static_cast<long>(pixel));
    }
    SetCardinals(display, window, atoms.netWmIcon, XA_CARDINAL, values);
    return true;
}

void SetPlacementHints(Display* display, Window window, const RECT& rect) {
    XSizeHints hints{};
    hints.flags = USPosition | PPosition | USSize | PSize;
    hints.x = rect.left;
    hints.y = rect.top;
    hints.width = rect.right - rect.left;
    hints.height = rect.bottom - rect.top;
    XSetWMNormalHints(display, window, &hints);
}

} // namespace platform::display::x11
