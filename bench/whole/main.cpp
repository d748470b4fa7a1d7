// nerith-bench: measures the updater against its peers and its limits and prints one table.
// scripts/bench builds it and runs it; see docs/PERFORMANCE.md.
#include "BenchOptions.h"
#include "WholeBench.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
    using namespace nerith::bench;
    BenchOptions defaults;
    std::error_code ec;
    defaults.bin = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().string();
    defaults.image = NERITH_CARRIED_IMAGE;
    std::string error;
    const auto options = ParseBenchOptions(&argc, argv, defaults, &error);
    if (!options) {
        std::fprintf(stderr, "nerith-bench: %s\n", error.c_str());
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    const auto figures = RunWholeBench(*options, &error);
    if (!figures) {
        std::fprintf(stderr, "nerith-bench: %s\n", error.c_str());
        return 1;
    }
    std::fputs(FormatTable(BenchRows(*figures)).c_str(), stdout);
    if (UpdateOverhead(figures->update) >= kUpdateOverheadLimit) {
        std::fprintf(stderr, "nerith-bench: the update's overhead is not under 2 %%\n");
        return 3;
    }
    return 0;
}
