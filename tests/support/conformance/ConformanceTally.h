// The public-API tests' run on our substitute against their run under Wine: how many ran on
// each side, how many passed on both, the known differences by name, and every reason the
// comparison fails (a test failed, exists on one side only, or a known difference names a test
// that is gone). The runner adds its own reasons (a crash, a time-out) to `problems`.
#pragma once

#include "GTestReport.h"
#include "KnownDifferences.h"

#include <string>
#include <vector>

namespace nerith::testing {

struct ConformanceTally {
    int onSubstitute = 0; // tests run, on each side
    int underWine = 0;
    int agreed = 0; // passed on both sides
    int fixedInSubstitute = 0;
    int wineDiffers = 0;
    std::vector<std::string> differences; // known or harmless, one line each
    std::vector<std::string> problems;    // each fails the comparison

    static ConformanceTally Count(const std::vector<TestResult>& substitute,
                                  const std::vector<TestResult>& wine,
                                  const KnownDifferences& known);
    bool Passed() const { return problems.empty(); }
    // The block for the log: the figures on one line, then every difference and problem.
    std::string Text() const;
};

} // namespace nerith::testing
