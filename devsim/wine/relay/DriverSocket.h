// nerith-devsim's side of the relay: the connection that stands for one open handle, made
// under the same trust rules as the platform's CreateFileA (platform/devices/WIRE.md).
#pragma once

#include "UniqueFd.h"
#include "platform/wintypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvel_relay {

using devsim::UniqueFd;

// Connects to the driver socket `path` without waiting. The folder must be this user's (or
// root's) and writable by nobody else, and the process serving the socket this user or root.
// Returns a Win32 error: ERROR_FILE_NOT_FOUND when nobody serves, ERROR_ACCESS_DENIED when a
// rule is broken, ERROR_NOT_READY when the driver has no room for another connection.
DWORD ConnectToDriver(const std::string& path, UniqueFd& socket);

// Sends one packet at once, with `fd` attached when it is not -1; false unless all of it went.
bool SendToDriver(int socket, const std::vector<std::uint8_t>& packet, int fd = -1);

} // namespace korvel_relay
