// Wall time of a whole program run, from just before the spawn to its exit. The child is waited
// for with a blocking waitpid, so the figure has no polling granularity in it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace nerith::bench {

// Seconds; nullopt with `error` set when the program cannot start or does not exit with 0.
// Its standard output is discarded; its standard error is ours.
std::optional<double> RunTimed(const std::vector<std::string>& argv, std::string* error);

} // namespace nerith::bench
