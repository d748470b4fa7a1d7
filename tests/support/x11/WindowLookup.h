// Finds the windows a program under test made.
#pragma once

#include "XSession.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace nerith::testing {

// Children of the root, bottom to top.
std::vector<XId> TopLevelWindows(XSession& session);
// Every window below the root, depth first (window managers put clients inside frames).
std::vector<XId> AllWindows(XSession& session);

// By _NET_WM_NAME, else WM_NAME; the first match in stacking order.
std::optional<XId> FindWindowByName(XSession& session, const std::string& title);
std::vector<XId> FindWindowsByPid(XSession& session, int pid);

// Polls until a window with the title exists and is viewable.
std::optional<XId> WaitForMappedWindow(XSession& session, const std::string& title,
                                       std::chrono::milliseconds timeout);
bool WaitUntilViewable(XSession& session, XId window, std::chrono::milliseconds timeout);
bool WaitUntilHidden(XSession& session, XId window, std::chrono::milliseconds timeout);

} // namespace nerith::testing
