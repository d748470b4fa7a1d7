// Minor page faults of a running process: every page it has touched for the first time, zeroed
// or mapped from the page cache. The count does not depend on the machine's speed or load, so
// it is the figure to compare between runs on different machines.
#pragma once

#include <optional>
#include <string>

namespace nerith::bench {

// The minflt field out of the text of a /proc/PID/stat file; nullopt when the text is not one.
std::optional<long> ParseMinorFaults(const std::string& stat);
// The count so far (getrusage cannot see a child that is still running); nullopt when the
// process is gone.
std::optional<long> MinorFaults(int pid);

} // namespace nerith::bench
