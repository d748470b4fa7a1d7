// What a soak test watches of a running process: resident memory, open descriptors, threads.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace nerith::test {

struct ProcessFigures {
    long residentKiB = 0;
    int openFds = 0;
    int threads = 0;
    // What each open descriptor names ("/dev/null", "socket:[1234]"), sorted.
    std::vector<std::string> fdTargets;
};

// Read from /proc/<pid>; nullopt when the process is gone.
std::optional<ProcessFigures> ReadProcessFigures(int pid);
std::string Describe(const ProcessFigures& figures);
// The descriptors open in `later` and not in `earlier`, one target a line; a leak's name.
std::string DescriptorsAdded(const ProcessFigures& earlier, const ProcessFigures& later);
// The pid of the process at the other end of a connected AF_UNIX socket path; 0 when no one
// serves it.
int ServerPid(const std::string& socketPath);

} // namespace nerith::test
