// Reports as GoogleTest 1.12 writes them, and the ways a report from a crashed or foreign run
// can be broken.
#include "GTestReport.h"

#include <gtest/gtest.h>

namespace nerith::testing {
namespace {

constexpr const char* kHeader = R"(<?xml version="1.0" encoding="UTF-8"?>
<testsuites tests="6" failures="1" disabled="1" errors="0" time="0.2" timestamp="2024-05-01T10:00:00.000" name="AllTests">
)";

// Every kind of test one run can list, with a failure text that looks like markup.
constexpr const char* kSuites =
    R"(  <testsuite name="GlobalMemoryTest" tests="3" failures="1" disabled="0" skipped="1" errors="0" time="0.1" timestamp="2024-05-01T10:00:00.000">
    <testcase name="LockReturnsTheBlock" file="G.cpp" line="10" status="run" result="completed" time="0" timestamp="2024-05-01T10:00:00.000" classname="GlobalMemoryTest" />
    <testcase name="FreeTwiceFails" file="G.cpp" line="20" status="run" result="completed" time="0" timestamp="2024-05-01T10:00:00.000" classname="GlobalMemoryTest">
      <failure message="G.cpp:22&#x0A;Expected: &lt;testcase&gt; &amp; &quot;x&quot;" type=""><![CDATA[G.cpp:22
Expected: <testcase name="Fake"> </testcase> ]]>]]&gt;<![CDATA[ <failure>]]></failure>
      <failure message="second" type=""><![CDATA[G.cpp:23]]></failure>
    </testcase>
    <testcase name="NeedsAScreen" file="G.cpp" line="30" status="run" result="skipped" time="0" timestamp="2024-05-01T10:00:00.000" classname="GlobalMemoryTest">
      <skipped message="G.cpp:31&#x0A;"><![CDATA[G.cpp:31
]]></skipped>
    </testcase>
  </testsuite>
  <testsuite name="Sizes/ThreadTest" tests="3" failures="0" disabled="1" skipped="0" errors="0" time="0" timestamp="2024-05-01T10:00:00.000">
    <testcase name="Starts/0" value_param="4" file="T.cpp" line="5" status="run" result="completed" time="0" timestamp="2024-05-01T10:00:00.000" classname="Sizes/ThreadTest" />
    <testcase name="WaitsForWine" file="T.cpp" line="9" status="notrun" result="suppressed" time="0" timestamp="2024-05-01T10:00:00.000" classname="Sizes/ThreadTest" />
    <testcase name="DISABLED_Slow" file="T.cpp" line="12" status="notrun" result="suppressed" time="0" timestamp="2024-05-01T10:00:00.000" classname="Sizes/ThreadTest" />
  </testsuite>
)";

constexpr const char* kEnvironmentFailure =
    R"(  <testsuite name="NonTestSuiteFailure" tests="1" failures="1" disabled="0" skipped="0" errors="0" time="0" timestamp="2024-05-01T10:00:00.000">    <testcase name="" status="run" result="completed" classname="" time="0" timestamp="2024-05-01T10:00:00.000">
      <failure message="E.cpp:3&#x0A;environment" type=""><![CDATA[E.cpp:3
environment]]></failure>
    </testcase>
  </testsuite>
)";

constexpr const char* kFooter = "</testsuites>\n";

std::string Report(const std::string& body) {
    return kHeader + body + kFooter;
}

using Listed = std::vector<std::pair<std::string, TestOutcome>>;

Listed ListOf(const GTestReport& report) {
    Listed listed;
    for (const TestResult& test : report.Tests()) {
        listed.emplace_back(test.name, test.outcome);
    }
    return listed;
}

TEST(GTestReportTest, ReadsEveryTestWithItsOutcome) {
    std::string error;
    const auto report = GTestReport::Parse(Report(kSuites), &error);
    ASSERT_TRUE(report) << error;
    const Listed expected{{"GlobalMemoryTest.LockReturnsTheBlock", TestOutcome::Passed},
                          {"GlobalMemoryTest.FreeTwiceFails", TestOutcome::Failed},
                          {"GlobalMemoryTest.NeedsAScreen", TestOutcome::Skipped},
                          {"Sizes/ThreadTest.Starts/0", TestOutcome::Passed},
                          {"Sizes/ThreadTest.WaitsForWine", TestOutcome::NotRun},
                          {"Sizes/ThreadTest.DISABLED_Slow", TestOutcome::NotRun}};
    EXPECT_EQ(ListOf(*report), expected);
    EXPECT_EQ(report->Tests()[1].message, "G.cpp:22\nExpected: <testcase> & \"x\"");
    const std::pair<TestOutcome, int> counts[] = {{TestOutcome::Passed, 2},
                                                  {TestOutcome::Failed, 1},
                                                  {TestOutcome::Skipped, 1},
                                                  {TestOutcome::NotRun, 2}};
    for (const auto& [outcome, count] : counts) {
        EXPECT_EQ(report->Count(outcome), count) << static_cast<int>(outcome);
    }
}

TEST(GTestReportTest, AFailureOutsideEverySuiteIsATestOfItsOwn) {
    std::string error;
    const auto report = GTestReport::Parse(Report(kEnvironmentFailure), &error);
    ASSERT_TRUE(report) << error;
    EXPECT_EQ(ListOf(*report), (Listed{{"NonTestSuiteFailure.<set-up>", TestOutcome::Failed}}));
}

TEST(GTestReportTest, ARunWithNoTestsIsAnEmptyReport) {
    std::string error;
    const auto report = GTestReport::Parse(Report(""), &error);
    ASSERT_TRUE(report) << error;
    EXPECT_TRUE(report->Tests().empty());
}

TEST(GTestReportTest, RefusesWhatIsNotAWholeReport) {
    const std::string whole = Report(kSuites);
    const struct {
        const char* what;
        std::string text;
        const char* error;
    } cases[] = {
        {"nothing", "", "not a GoogleTest report"},
        {"another XML", "<?xml version=\"1.0\"?><html><body/></html>", "not a GoogleTest report"},
        {"cut short by a crash", whole.substr(0, whole.find("<testsuite name=\"Sizes")),
         "ends early"},
        {"cut inside a test", whole.substr(0, whole.find("<skipped")), "ends early"},
        {"cut inside a tag", whole.substr(0, whole.find("status=\"notrun\"")), "malformed tag"},
        {"a test outside a suite",
         Report(R"(<testcase name="A" status="run" result="completed" classname="S" />)"),
         "outside a named <testsuite>"},
        {"a failure outside a test", Report(R"(<failure message="m" type=""></failure>)"),
         "outside a <testcase>"},
        {"an attribute without quotes",
         Report(R"(<testsuite name=S><testcase name="A" /></testsuite>)"), "malformed tag"},
        {"a test without a name",
         Report(R"(<testsuite name="S"><testcase status="run" /></testsuite>)"), "without a name"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(GTestReport::Parse(c.text, &error)) << c.what;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
    }
}

TEST(GTestReportTest, ReadNamesTheFileItCannotUse) {
    std::string error;
    EXPECT_FALSE(GTestReport::Read("/nonexistent/report.xml", &error));
    EXPECT_EQ(error, "/nonexistent/report.xml: cannot be read");
}

} // namespace
} // namespace nerith::testing
