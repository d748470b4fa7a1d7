// The rows of the table out of the figures of one run.
#pragma once

#include "BenchTable.h"
#include "InProcessBench.h"
#include "ReaderComparison.h"
#include "StartupComparison.h"
#include "UpdateTiming.h"

#include <cstdint>
#include <vector>

namespace nerith::bench {

// An update may take this much longer than the least it can take.
constexpr double kUpdateOverheadLimit = 0.02;

struct BenchFigures {
    std::uint64_t carriedBytes = 0;
    std::uint64_t largeBytes = 0;
    int readerRuns = 0;
    int startupRuns = 0;
    int updateRuns = 0;
    InProcessFigures inProcess;
    ReaderComparison carried;
    ReaderComparison large;
    StartupComparison startup;
    UpdateTiming update;
};

// measured / (required waits + device time) - 1.
double UpdateOverhead(const UpdateTiming& update);
std::vector<BenchRow> BenchRows(const BenchFigures& figures);

} // namespace nerith::bench
