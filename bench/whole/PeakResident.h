// Peak resident memory of a process as the kernel keeps it (VmHWM in /proc/PID/status).
#pragma once

#include <optional>
#include <string>

namespace nerith::bench {

// The VmHWM figure in KiB out of the text of a status file; nullopt when it is missing or
// not a plain "VmHWM: <n> kB" line.
std::optional<long> ParseVmHwmKib(const std::string& status);
// nullopt when the process is gone.
std::optional<long> PeakResidentKib(int pid);

} // namespace nerith::bench
