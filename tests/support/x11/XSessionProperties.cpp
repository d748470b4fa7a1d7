#include "XSession.h"

#include "ErrorTrap.h"

#include <X11/Xatom.h>

namespace nerith::testing {

namespace {

constexpr long kMaxLongs = 1 << 20;

struct RawProperty {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned char* data = nullptr;
    ~RawProperty() {
        if (data != nullptr) {
            XFree(data);
        }
    }
};

bool Read(Display* display, XId window, Atom property, RawProperty& raw) {
    ErrorTrap trap(display);
    unsigned long remaining = 0;
    const int status =
        XGetWindowProperty(display, window, property, 0, kMaxLongs, False, AnyPropertyType,
                           &raw.type, &raw.format, &raw.count, &remaining, &raw.data);
    return status == Success && !trap.Failed() && raw.type != None;
}

} // namespace

unsigned long XSession::InternAtom(const std::string& name) {
    return XInternAtom(display_, name.c_str(), False);
}

std::string XSession::AtomName(unsigned long atom) {
    ErrorTrap trap(display_);
    char* name = XGetAtomName(display_, atom);
    if (name == nullptr || trap.Failed()) {
        return {};
    }
    std::string text = name;
    XFree(name);
    return text;
}

std::optional<std::string> XSession::TextProperty(XId window, const std::string& name) {
    RawProperty raw;
    if (!Read(display_, window, InternAtom(name), raw) || raw.format != 8) {
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(raw.data), raw.count);
}

std::vector<unsigned long> XSession::Property32(XId window, const std::string& name) {
    RawProperty raw;
    if (!Read(display_, window, InternAtom(name), raw) || raw.format != 32) {
        return {};
    }
    // Xlib hands format-32 data over as sign-extended longs.
    const auto* values = reinterpret_cast<const unsigned long*>(raw.data);
    std::vector<unsigned long> out;
    for (unsigned long i = 0; i < raw.count; ++i) {
        out.push_back(values[i] & 0xFFFFFFFFUL);
    }
    return out;
}

std::vector<std::string> XSession::AtomProperty(XId window, const std::string& name) {
    std::vector<std::string> names;
    for (unsigned long atom : Property32(window, name)) {
        names.push_back(AtomName(atom));
    }
    return names;
}

std::optional<std::string> XSession::PropertyType(XId window, const std::string& name) {
    RawProperty raw;
    if (!Read(display_, window, InternAtom(name), raw)) {
        return std::nullopt;
    }
    return AtomName(raw.type);
}

void XSession::SetProperty32(XId window, const std::string& name, const std::string& type,
                             const std::vector<unsigned long>& values) {
    ErrorTrap trap(display_);
    XChangeProperty(display_, window, InternAtom(name), InternAtom(type), 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()),
                    static_cast<int>(values.size()));
}

void XSession::DeleteProperty(XId window, const std::string& name) {
    ErrorTrap trap(display_);
    XDeleteProperty(display_, window, InternAtom(name));
}

} // namespace nerith::testing
