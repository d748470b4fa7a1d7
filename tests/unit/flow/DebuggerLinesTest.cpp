#include "DebuggerLines.h"

#include <gtest/gtest.h>

namespace nerith::demo {
namespace {

TEST(DebuggerLinesTest, FindsTheLinesInTheOrderWrittenEvenWithoutLineFeeds) {
    const std::string stderrText = "nerith: something else\n"
                                   "CheckFWversion  :new version!\n "
                                   "VerifyAll begin"
                                   "OnBMasserase begin\n"
                                   "ProgramAll begin";
    const std::vector<std::string> expected = {"CheckFWversion  :new version!\n ",
                                               "VerifyAll begin", "OnBMasserase begin\n",
                                               "ProgramAll begin"};
    EXPECT_EQ(DebuggerLinesIn(stderrText), expected);
    EXPECT_EQ(DescribeStages(expected), "new version -> verify -> erase -> program");
}

TEST(DebuggerLinesTest, OnlyTheExactTextsCount) {
    const struct {
        const char* text;
        std::size_t found;
    } cases[] = {
        {"CheckFWversion  :same version!\n ", 1},
        {"CheckFWversion :same version!\n ", 0}, // one space before the colon
        {"CheckFWversion  :same version!\n", 0}, // no space after the line feed
        {"CheckFWversion  :old version!\n CheckFWversion  :old version!\n ", 2},
        {"OnBMasserase begin", 0}, // the erase line ends in a line feed
        {"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DebuggerLinesIn(c.text).size(), c.found);
    }
    EXPECT_EQ(DescribeStages({}), "none");
}

} // namespace
} // namespace nerith::demo
