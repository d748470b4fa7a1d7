// The public-API tests of tests/win32 on both sides: each area's Linux build on the headless
// screen, its Windows build under one throw-away Wine prefix on a private Xvfb, compared test by
// test with tests/win32/KNOWN_DIFFERENCES.md. The tally goes to the log and to a file that
// scripts/test shows, as ctest hides the output of a passing test.
#include "ConformanceTally.h"
#include "WinePrefix.h"
#include "x11/XvfbServer.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <map>

namespace nerith::e2e {

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using testing::TestResult;

// One area's executable on a busy machine; Wine's first windows take longer.
constexpr auto kLinuxTimeout = 120s;
constexpr auto kWineTimeout = 300s;
constexpr const char* kReport = "report.xml";
constexpr std::size_t kOutputShown = 4000;

struct Area {
    std::string name; // "kernel" of win32_kernel_tests
    fs::path onLinux;
    fs::path forWindows;
};

// "kernel" for "win32_kernel" + suffix; empty for any other file.
std::string AreaOf(const fs::path& file, const std::string& suffix) {
    const std::string name = file.filename().string();
    const std::string prefix = "win32_";
    if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return {};
    }
    return name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
}

void Collect(const fs::path& folder, const std::string& suffix, fs::path Area::*side,
             std::map<std::string, Area>& areas) {
    std::error_code failed;
    for (const auto& entry : fs::directory_iterator(folder, failed)) {
        const std::string area = AreaOf(entry.path(), suffix);
        if (!area.empty() && entry.is_regular_file()) {
            areas[area].name = area;
            areas[area].*side = entry.path();
        }
    }
}

// The areas built for both sides; one built for a single side is a problem, not left out.
std::vector<Area> FindAreas(std::vector<std::string>& problems) {
    std::map<std::string, Area> found;
    Collect(NERITH_LINUX_BIN, "_tests", &Area::onLinux, found);
    Collect(fs::path(NERITH_WINDOWS_BIN) / "conformance", "_tests.exe", &Area::forWindows, found);
    std::vector<Area> areas;
    for (const auto& [name, area] : found) {
        if (area.forWindows.empty()) {
            problems.push_back("area " + name + " is built for Linux (" + area.onLinux.string() +
                               ") but not for Windows: build the windows-x64 preset");
        } else if (area.onLinux.empty()) {
            problems.push_back("area " + name + " is built for Windows (" +
                               area.forWindows.string() + ") but not for Linux");
        } else {
            areas.push_back(area);
        }
    }
    if (found.empty()) {
        problems.push_back(std::string("no public-API tests in ") + NERITH_LINUX_BIN);
    }
    return areas;
}

void ShowOutput(const std::string& what, testing::ChildProcess& run) {
    const std::string output = run.Stdout() + run.Stderr();
    std::cout << what << " wrote" << (output.size() > kOutputShown ? " (its end):\n" : ":\n")
              << output.substr(output.size() - std::min(output.size(), kOutputShown)) << "\n";
}

// Waits for one area's run and reads its report; what went wrong goes to `problems`.
std::vector<TestResult> Finish(const std::string& what, testing::ChildProcess& run,
                               const fs::path& report, std::chrono::seconds timeout,
                               std::vector<std::string>& problems) {
    const std::optional<int> status = run.Wait(timeout);
    if (!status) {
        run.Terminate();
        ShowOutput(what, run);
        problems.push_back(what + " did not finish within " + std::to_string(timeout.count()) +
                           " s");
        return {};
    }
    if (*status != 0) {
        ShowOutput(what, run);
    }
    std::string error;
    const auto parsed = testing::GTestReport::Read(report.string(), &error);
    if (!parsed) {
        problems.push_back(what + " exited with status " + std::to_string(*status) +
                           " and left no report: " + error);
        return {};
    }
    if (*status != 0 && parsed->Count(testing::TestOutcome::Failed) == 0) {
        problems.push_back(what + " exited with status " + std::to_string(*status) +
                           " with no failing test: a crash, or a failed set-up");
    }
    return parsed->Tests();
}

void Append(std::vector<TestResult>& all, std::vector<TestResult> more) {
    all.insert(all.end(), std::make_move_iterator(more.begin()),
               std::make_move_iterator(more.end()));
}

std::vector<TestResult> RunOnSubstitute(const Area& area, const fs::path& folder,
                                        std::vector<std::string>& problems) {
    const fs::path work = folder / area.name;
    fs::create_directories(work);
    testing::ProcessOptions options;
    options.argv = {area.onLinux.string(), "--gtest_filter=*",
                    std::string("--gtest_output=xml:") + kReport};
    options.setEnv = {{"NERITH_DISPLAY", "headless"}};
    // At real speed, as on Windows.
    options.unsetEnv = {"NERITH_TIME_SCALE"};
    options.workingDirectory = work.string();
    const std::string what = area.onLinux.filename().string();
    std::string error;
    auto run = testing::ChildProcess::Start(options, &error);
    if (!run) {
        problems.push_back(what + " did not start: " + error);
        return {};
    }
    return Finish(what, *run, work / kReport, kLinuxTimeout, problems);
}

std::vector<TestResult> RunUnderWine(const Area& area, testing::WinePrefix& prefix,
                                     const std::string& filter,
                                     std::vector<std::string>& problems) {
    const fs::path work = fs::path(prefix.DriveC()) / "conformance" / area.name;
    fs::create_directories(work);
    const std::string what = area.forWindows.filename().string() + " under Wine";
    std::string error;
    auto run = prefix.Start({area.forWindows.string(), "--gtest_filter=*" + filter,
                             std::string("--gtest_output=xml:") + kReport},
                            work.string(), &error);
    if (!run) {
        problems.push_back(what + " did not start: " + error);
        return {};
    }
    return Finish(what, *run, work / kReport, kWineTimeout, problems);
}

std::vector<TestResult> RunAllOnSubstitute(const std::vector<Area>& areas, const fs::path& folder,
                                           std::vector<std::string>& problems) {
    std::vector<TestResult> results;
    for (const Area& area : areas) {
        Append(results, RunOnSubstitute(area, folder, problems));
    }
    return results;
}

// One prefix for every area, as booting one takes half a minute; it and its Xvfb go on return.
std::vector<TestResult> RunAllUnderWine(const std::vector<Area>& areas, const std::string& filter,
                                        std::vector<std::string>& problems) {
    std::string error;
    const auto xvfb = testing::XvfbServer::Start({}, &error);
    if (!xvfb) {
        problems.push_back("no Xvfb for Wine: " + error);
        return {};
    }
    const auto prefix = testing::WinePrefix::Create(xvfb->DisplayName(), &error);
    if (!prefix) {
        problems.push_back("no Wine prefix: " + error);
        return {};
    }
    std::vector<TestResult> results;
    for (const Area& area : areas) {
        Append(results, RunUnderWine(area, *prefix, filter, problems));
    }
    return results;
}

// A folder for the Linux side's reports, gone with the object.
class ReportFolder {
public:
    ReportFolder() {
        std::string pattern = (fs::temp_directory_path() / "nerith-conformance.XXXXXX").string();
        if (::mkdtemp(pattern.data())) {
            path_ = pattern;
        }
    }
    ~ReportFolder() {
        std::error_code ignored;
        if (!path_.empty()) {
            fs::remove_all(path_, ignored);
        }
    }
    ReportFolder(const ReportFolder&) = delete;
    ReportFolder& operator=(const ReportFolder&) = delete;

    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

void Publish(const std::string& text) {
    std::cout << text << std::flush;
    std::ofstream(NERITH_CONFORMANCE_TALLY) << text;
}

std::string Seconds(std::chrono::steady_clock::time_point since) {
    const auto elapsed = std::chrono::steady_clock::now() - since;
    return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(elapsed).count()) + " s";
}

TEST(WineConformanceTest, OurSubstituteAndWineAgree) {
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    const auto known = testing::KnownDifferences::Read(NERITH_KNOWN_DIFFERENCES, &error);
    ASSERT_TRUE(known) << error;
    const ReportFolder folder;
    ASSERT_FALSE(folder.Path().empty()) << "cannot make a folder for the reports";

    std::vector<std::string> problems;
    const std::vector<Area> areas = FindAreas(problems);
    const auto ours = RunAllOnSubstitute(areas, folder.Path(), problems);
    const std::string oursTook = Seconds(start);
    const auto wineStart = std::chrono::steady_clock::now();
    const auto theirs = RunAllUnderWine(areas, known->WineFilter(), problems);

    auto tally = testing::ConformanceTally::Count(ours, theirs, *known);
    tally.problems.insert(tally.problems.end(), problems.begin(), problems.end());
    const std::string text = tally.Text();
    Publish(text + "conformance: " + std::to_string(areas.size()) + " areas; " + oursTook +
            " on our substitute, " + Seconds(wineStart) + " under Wine with its prefix\n");
    EXPECT_TRUE(tally.Passed()) << text;
}

} // namespace

} // namespace nerith::e2e
