// The arithmetic of the comparison, and what makes it fail, one run of both sides per case.
#include "ConformanceTally.h"

#include <gtest/gtest.h>

namespace nerith::testing {
namespace {

using Lines = std::vector<std::string>;

constexpr auto P = TestOutcome::Passed;
constexpr auto F = TestOutcome::Failed;
constexpr auto S = TestOutcome::Skipped;
constexpr auto N = TestOutcome::NotRun;

struct Figures {
    int onSubstitute, underWine, agreed, fixed, wineDiffers;
    bool operator==(const Figures&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Figures& f) {
    return out << f.onSubstitute << " " << f.underWine << " " << f.agreed << " " << f.fixed << " "
               << f.wineDiffers;
}

KnownDifferences List(const std::string& wineDiffers, const std::string& fixed) {
    std::string error;
    const auto list = KnownDifferences::Parse("## Wine differs from Windows\n" + wineDiffers +
                                                  "## Fixed in our substitute\n" + fixed,
                                              &error);
    if (!list) {
        ADD_FAILURE() << error;
    }
    return list.value_or(KnownDifferences{});
}

const std::vector<TestResult> kThreePass{{"A.One", P, ""}, {"A.Two", P, ""}, {"B.Three", P, ""}};

struct Case {
    const char* what;
    std::vector<TestResult> substitute;
    std::vector<TestResult> wine;
    KnownDifferences known;
    Figures figures;
    Lines differences;
    Lines problems;
};

TEST(ConformanceTallyTest, CountsAndNamesEveryDisagreement) {
    const Case cases[] = {
        {"all agree", kThreePass, kThreePass, List("", ""), {3, 3, 3, 0, 0}, {}, {}},
        {"a failure under Wine",
         kThreePass,
         {{"A.One", P, ""}, {"A.Two", F, "x"}, {"B.Three", P, ""}},
         List("", ""),
         {3, 3, 2, 0, 0},
         {},
         {"failed under Wine: A.Two"}},
        {"a failure on our substitute",
         {{"A.One", F, "x"}, {"A.Two", P, ""}, {"B.Three", P, ""}},
         kThreePass,
         List("", ""),
         {3, 3, 2, 0, 0},
         {},
         {"failed on our substitute: A.One"}},
        {"a test built for one side only",
         {{"A.One", P, ""}, {"A.Two", P, ""}, {"LinuxOnly.Test", P, ""}},
         {{"A.One", P, ""}, {"A.Two", P, ""}, {"WindowsOnly.Test", P, ""}},
         List("", ""),
         {3, 3, 2, 0, 0},
         {},
         {"only on our substitute: LinuxOnly.Test", "only under Wine: WindowsOnly.Test"}},
        {"a known Wine difference left out of the Wine run",
         kThreePass,
         {{"A.One", P, ""}, {"A.Two", N, ""}, {"B.Three", P, ""}},
         List("- test: A.Two\n", ""),
         {3, 2, 2, 0, 1},
         {"known Wine difference: A.Two"},
         {}},
        {"a known Wine difference that fails on our substitute too",
         {{"A.One", P, ""}, {"A.Two", F, "x"}, {"B.Three", P, ""}},
         {{"A.One", P, ""}, {"A.Two", N, ""}, {"B.Three", P, ""}},
         List("- test: A.Two\n", ""),
         {3, 2, 2, 0, 1},
         {"known Wine difference: A.Two"},
         {"failed on our substitute: A.Two"}},
        {"a fix in our substitute, agreeing now",
         kThreePass,
         kThreePass,
         List("", "- test: B.Three\n"),
         {3, 3, 3, 1, 0},
         {"fixed in our substitute: B.Three"},
         {}},
        {"entries for tests that are gone",
         kThreePass,
         kThreePass,
         List("- test: Gone.Test\n", "- test: Renamed.Test\n"),
         {3, 3, 3, 0, 0},
         {},
         {"KNOWN_DIFFERENCES.md names a test that does not exist: Gone.Test",
          "KNOWN_DIFFERENCES.md names a test that does not exist: Renamed.Test"}},
        {"a skip is named, not agreed, not failed",
         kThreePass,
         {{"A.One", P, ""}, {"A.Two", S, ""}, {"B.Three", P, ""}},
         List("", ""),
         {3, 3, 2, 0, 0},
         {"skipped under Wine: A.Two"},
         {}},
        {"disabled on both sides",
         {{"A.One", P, ""}, {"A.DISABLED_Two", N, ""}},
         {{"A.One", P, ""}, {"A.DISABLED_Two", N, ""}},
         List("", ""),
         {1, 1, 1, 0, 0},
         {},
         {}},
        {"left out on one side without an entry",
         kThreePass,
         {{"A.One", P, ""}, {"A.Two", N, ""}, {"B.Three", P, ""}},
         List("", ""),
         {3, 2, 2, 0, 0},
         {},
         {"run on one side only: A.Two"}},
        {"one name in two areas",
         {{"A.One", P, ""}, {"A.One", P, ""}},
         {{"A.One", P, ""}},
         List("", ""),
         {2, 1, 1, 0, 0},
         {},
         {"listed twice on our substitute: A.One"}},
        {"nothing ran anywhere", {}, {}, List("", ""), {0, 0, 0, 0, 0}, {}, {}},
    };
    for (const Case& c : cases) {
        const auto tally = ConformanceTally::Count(c.substitute, c.wine, c.known);
        EXPECT_EQ((Figures{tally.onSubstitute, tally.underWine, tally.agreed,
                           tally.fixedInSubstitute, tally.wineDiffers}),
                  c.figures)
            << c.what;
        EXPECT_EQ(tally.differences, c.differences) << c.what;
        EXPECT_EQ(tally.problems, c.problems) << c.what;
        EXPECT_EQ(tally.Passed(), c.problems.empty()) << c.what;
    }
}

TEST(ConformanceTallyTest, TheBlockShowsTheFiguresAndEveryName) {
    auto tally = ConformanceTally::Count(kThreePass,
                                         {{"A.One", P, ""}, {"A.Two", N, ""}, {"B.Three", F, "x"}},
                                         List("- test: A.Two\n", "- test: A.One\n"));
    tally.problems.push_back("win32_user_tests.exe did not finish within 300 s");
    EXPECT_EQ(tally.Text(),
              "conformance: 3 tests on our substitute, 2 under Wine; 1 agreed; 1 fixed in our "
              "substitute; 1 known Wine differences\n"
              "  fixed in our substitute: A.One\n"
              "  known Wine difference: A.Two\n"
              "  FAILED: failed under Wine: B.Three\n"
              "  FAILED: win32_user_tests.exe did not finish within 300 s\n"
              "conformance: FAILED, 2 problems\n");
}

TEST(ConformanceTallyTest, APassingRunSaysSo) {
    const auto tally = ConformanceTally::Count(kThreePass, kThreePass, List("", ""));
    EXPECT_EQ(tally.Text(), "conformance: 3 tests on our substitute, 3 under Wine; 3 agreed; 0 "
                            "fixed in our substitute; 0 known Wine differences\n"
                            "conformance: passed\n");
}

} // namespace
} // namespace nerith::testing
