// The one table scripts/bench prints: each figure of ours beside the figure it is measured
// against in the same run, and their ratio.
#pragma once

#include <string>
#include <vector>

namespace nerith::bench {

struct BenchRow {
    std::string what;
    std::string ours;
    std::string against;
    std::string ratio;
    std::string note;
};

// "850 us", "12.3 ms", "4.81 s": three significant figures, the unit chosen by size.
std::string FormatSeconds(double seconds);
// MB/s or GB/s (10^6, 10^9 bytes) of `bytes` in `seconds`; "-" when the time is not positive.
std::string FormatThroughput(double bytes, double seconds);
// "0.42x"; "-" when either side is not positive.
std::string FormatRatio(double ours, double against);
// A Markdown table with a header row, columns padded to line up.
std::string FormatTable(const std::vector<BenchRow>& rows);

} // namespace nerith::bench
