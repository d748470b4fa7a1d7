// Control commands to a nerith-devsim serving in a known folder (its korvel.control socket).
#pragma once

#include "ControlClient.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nerith::demo {

// The reply ("ok ..." or "error: ..."); "error: ..." when the simulator cannot be reached.
std::string DevsimCommand(const std::string& deviceDir, const std::string& command);
// Polls until the control socket answers; false after `timeoutMs`.
bool WaitForDevsim(const std::string& deviceDir, int timeoutMs);
// The 65,536 flash bytes through "dump-bin"; empty when the dump failed.
std::vector<std::uint8_t> DumpDevsimFlash(const std::string& deviceDir, const std::string& file);

} // namespace nerith::demo
