#include "ConformanceTally.h"

#include <map>
#include <sstream>

namespace nerith::testing {

namespace {

using Outcomes = std::map<std::string, TestOutcome>;

bool Ran(TestOutcome outcome) {
    return outcome != TestOutcome::NotRun;
}

// One side's tests by name; a name twice (two areas with one suite) is a problem, as the
// filter and the list could not tell them apart.
Outcomes ByName(const std::vector<TestResult>& tests, const char* side, int& ran,
                std::vector<std::string>& problems) {
    Outcomes outcomes;
    for (const TestResult& test : tests) {
        if (!outcomes.emplace(test.name, test.outcome).second) {
            problems.push_back("listed twice " + std::string(side) + ": " + test.name);
        }
        ran += Ran(test.outcome) ? 1 : 0;
    }
    return outcomes;
}

void CountFailures(const std::string& name, TestOutcome outcome, const char* side,
                   std::vector<std::string>& problems) {
    if (outcome == TestOutcome::Failed) {
        problems.push_back("failed " + std::string(side) + ": " + name);
    }
}

void CountSkip(const std::string& name, TestOutcome outcome, const char* side,
               std::vector<std::string>& differences) {
    if (outcome == TestOutcome::Skipped) {
        differences.push_back("skipped " + std::string(side) + ": " + name);
    }
}

const char* const kSubstitute = "on our substitute";
const char* const kWine = "under Wine";

} // namespace

ConformanceTally ConformanceTally::Count(const std::vector<TestResult>& substitute,
                                         const std::vector<TestResult>& wine,
                                         const KnownDifferences& known) {
    ConformanceTally tally;
    const Outcomes ours = ByName(substitute, kSubstitute, tally.onSubstitute, tally.problems);
    const Outcomes theirs = ByName(wine, kWine, tally.underWine, tally.problems);
    for (const auto& [name, outcome] : ours) {
        CountFailures(name, outcome, kSubstitute, tally.problems);
        if (known.WineDiffers().count(name)) {
            ++tally.wineDiffers;
            tally.differences.push_back("known Wine difference: " + name);
            continue;
        }
        const auto other = theirs.find(name);
        if (other == theirs.end()) {
            tally.problems.push_back("only " + std::string(kSubstitute) + ": " + name);
            continue;
        }
        if (Ran(outcome) != Ran(other->second)) {
            tally.problems.push_back("run on one side only: " + name);
            continue;
        }
        CountSkip(name, outcome, kSubstitute, tally.differences);
        CountSkip(name, other->second, kWine, tally.differences);
        if (outcome != TestOutcome::Passed || other->second != TestOutcome::Passed) {
            continue;
        }
        ++tally.agreed;
        if (known.FixedInSubstitute().count(name)) {
            ++tally.fixedInSubstitute;
            tally.differences.push_back("fixed in our substitute: " + name);
        }
    }
    for (const auto& [name, outcome] : theirs) {
        CountFailures(name, outcome, kWine, tally.problems);
        if (!ours.count(name)) {
            tally.problems.push_back("only " + std::string(kWine) + ": " + name);
        }
    }
    for (const auto* section : {&known.WineDiffers(), &known.FixedInSubstitute()}) {
        for (const std::string& name : *section) {
            if (!ours.count(name) && !theirs.count(name)) {
                tally.problems.push_back("KNOWN_DIFFERENCES.md names a test that does not exist: " +
                                         name);
            }
        }
    }
    return tally;
}

std::string ConformanceTally::Text() const {
    std::ostringstream text;
    text << "conformance: " << onSubstitute << " tests on our substitute, " << underWine
         << " under Wine; " << agreed << " agreed; " << fixedInSubstitute
         << " fixed in our substitute; " << wineDiffers << " known Wine differences\n";
    for (const std::string& line : differences) {
        text << "  " << line << "\n";
    }
    for (const std::string& line : problems) {
        text << "  FAILED: " << line << "\n";
    }
    text << (Passed() ? "conformance: passed\n"
                      : "conformance: FAILED, " + std::to_string(problems.size()) + " problems\n");
    return text.str();
}

} // namespace nerith::testing
