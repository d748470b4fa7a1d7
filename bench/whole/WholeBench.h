// One run of every measurement of the table, in one process: the in-process benchmarks, the
// two S-record readers as programs, start-up and whole updates on a private Xvfb against one
// nerith-devsim. Everything it starts ends with it and its scratch folder is removed.
#pragma once

#include "BenchOptions.h"
#include "BenchReport.h"

#include <optional>
#include <string>

namespace nerith::bench {

// nullopt with `error` set when a measurement could not be made.
std::optional<BenchFigures> RunWholeBench(const BenchOptions& options, std::string* error);

} // namespace nerith::bench
