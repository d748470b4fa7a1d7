#include "WindowLookup.h"

#include "ErrorTrap.h"

#include <algorithm>

namespace nerith::testing {

namespace {

std::vector<XId> Children(XSession& session, XId parent) {
    ErrorTrap trap(session.display());
    Window root = 0;
    Window ignored = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<XId> out;
    if (XQueryTree(session.display(), parent, &root, &ignored, &children, &count) != 0 &&
        !trap.Failed()) {
        out.assign(children, children + count);
    }
    if (children != nullptr) {
        XFree(children);
    }
    return out;
}

void CollectBelow(XSession& session, XId parent, std::vector<XId>& out) {
    for (XId child : Children(session, parent)) {
        out.push_back(child);
        CollectBelow(session, child, out);
    }
}

std::optional<std::string> Title(XSession& session, XId window) {
    if (auto name = session.TextProperty(window, "_NET_WM_NAME")) {
        return name;
    }
    return session.TextProperty(window, "WM_NAME");
}

} // namespace

std::vector<XId> TopLevelWindows(XSession& session) {
    return Children(session, session.Root());
}

std::vector<XId> AllWindows(XSession& session) {
    std::vector<XId> out;
    CollectBelow(session, session.Root(), out);
    return out;
}

std::optional<XId> FindWindowByName(XSession& session, const std::string& title) {
    for (XId window : AllWindows(session)) {
        if (Title(session, window) == title) {
            return window;
        }
    }
    return std::nullopt;
}

std::vector<XId> FindWindowsByPid(XSession& session, int pid) {
    std::vector<XId> found;
    for (XId window : AllWindows(session)) {
        const auto value = session.Property32(window, "_NET_WM_PID");
        if (value.size() == 1 && value[0] == static_cast<unsigned long>(pid)) {
            found.push_back(window);
        }
    }
    return found;
}

std::optional<XId> WaitForMappedWindow(XSession& session, const std::string& title,
                                       std::chrono::milliseconds timeout) {
    std::optional<XId> found;
    WaitFor(
        [&] {
            found = FindWindowByName(session, title);
            return found && session.IsMapped(*found);
        },
        timeout);
    if (found && !session.IsMapped(*found)) {
        return std::nullopt;
    }
    return found;
}

bool WaitUntilViewable(XSession& session, XId window, std::chrono::milliseconds timeout) {
    return WaitFor([&] { return session.IsMapped(window); }, timeout);
}

bool WaitUntilHidden(XSession& session, XId window, std::chrono::milliseconds timeout) {
    return WaitFor([&] { return !session.IsMapped(window); }, timeout);
}

} // namespace nerith::testing
