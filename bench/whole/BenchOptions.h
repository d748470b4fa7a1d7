// What nerith-bench is told by scripts/bench. Options it does not know are left for Google
// Benchmark (--benchmark_...).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace nerith::bench {

struct BenchOptions {
    std::string bin;   // the build's bin/: nerith-update, nerith-devsim, nerith-s19-image
    std::string image; // the carried S-record image
    std::string srecCat = "srec_cat";
    std::string xmessage = "xmessage";
    int startupRuns = 10;
    int updateRuns = 3;
    int readerRuns = 10;
    std::uint64_t largeFileBytes = 8u << 20;
};

// Takes its own options out of argv (argc shrinks); nullopt with `error` set for a bad value.
std::optional<BenchOptions> ParseBenchOptions(int* argc, char** argv, BenchOptions defaults,
                                              std::string* error);

} // namespace nerith::bench
