// The tests of one GoogleTest run as its XML report (--gtest_output=xml:FILE) lists them. The
// report has a fixed shape: <testsuites>, a <testsuite> per suite, a <testcase> per test, a
// <failure> or <skipped> inside a test that failed or skipped. Tests left out by a filter or
// disabled are listed too, as not run.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nerith::testing {

enum class TestOutcome { Passed, Failed, Skipped, NotRun };

struct TestResult {
    std::string name; // Suite.Test
    TestOutcome outcome = TestOutcome::Passed;
    std::string message; // the first failure's summary
};

class GTestReport {
public:
    // nullopt and `error` set when the text is not a whole GoogleTest report.
    static std::optional<GTestReport> Parse(std::string_view xml, std::string* error);
    static std::optional<GTestReport> Read(const std::string& path, std::string* error);

    const std::vector<TestResult>& Tests() const { return tests_; }
    int Count(TestOutcome outcome) const;

private:
    std::vector<TestResult> tests_;
};

} // namespace nerith::testing
