#include "StartupComparison.h"

#include "FirstFrame.h"
#include "MinorFaults.h"
#include "PeakResident.h"
#include "Statistics.h"

#include <algorithm>
#include <vector>

namespace nerith::bench {

namespace {

using namespace std::chrono_literals;
constexpr auto kFrameTimeout = 20s;
constexpr auto kGoneTimeout = 5s;

struct StartupRun {
    double seconds = 0;
    long peakKib = 0;
    long faults = 0;
};

bool ScreenEmpty(testing::XSession& x) {
    for (testing::XId window : testing::TopLevelWindows(x)) {
        if (x.IsMapped(window)) {
            return false;
        }
    }
    return true;
}

std::optional<StartupRun> TimeOneStart(testing::XSession& x, const testing::ProcessOptions& options,
                                       std::string* error) {
    BlackenRoot(x);
    const auto start = Clock::now();
    auto process = testing::ChildProcess::Start(options, error);
    if (!process) {
        return std::nullopt;
    }
    const auto frame = WaitForFirstFrame(x, *process, kFrameTimeout);
    const auto faults = MinorFaults(process->pid());
    const auto peak = PeakResidentKib(process->pid());
    process->Terminate();
    if (!frame) {
        *error = options.argv[0] + " showed no frame: " + process->Stderr();
        return std::nullopt;
    }
    if (!testing::WaitFor([&] { return ScreenEmpty(x); }, kGoneTimeout)) {
        *error = options.argv[0] + " left a window on the screen";
        return std::nullopt;
    }
    if (!faults || !peak) {
        *error = options.argv[0] + " ended at its first frame";
        return std::nullopt;
    }
    return StartupRun{std::chrono::duration<double>(*frame - start).count(), *peak, *faults};
}

} // namespace

std::optional<StartupComparison> CompareStartup(testing::XSession& x,
                                                const StartupPrograms& programs, int runs,
                                                std::string* error) {
    std::vector<double> updater;
    std::vector<double> xmessage;
    std::vector<double> updaterFaults;
    std::vector<double> xmessageFaults;
    StartupComparison result;
    for (int i = 0; i < runs; ++i) {
        const auto ours = TimeOneStart(x, programs.updater, error);
        const auto theirs = ours ? TimeOneStart(x, programs.xmessage, error) : std::nullopt;
        if (!ours || !theirs) {
            return std::nullopt;
        }
        updater.push_back(ours->seconds);
        xmessage.push_back(theirs->seconds);
        updaterFaults.push_back(static_cast<double>(ours->faults));
        xmessageFaults.push_back(static_cast<double>(theirs->faults));
        result.updaterPeakKib = std::max(result.updaterPeakKib, ours->peakKib);
        result.xmessagePeakKib = std::max(result.xmessagePeakKib, theirs->peakKib);
    }
    result.updater = Median(updater);
    result.xmessage = Median(xmessage);
    result.updaterFaults = Median(updaterFaults);
    result.xmessageFaults = Median(xmessageFaults);
    return result;
}

} // namespace nerith::bench
