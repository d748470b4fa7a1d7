#include "KnownDifferences.h"

#include <gtest/gtest.h>

namespace nerith::testing {
namespace {

using Names = std::set<std::string>;

constexpr const char* kIntro = "# Where the public-API tests' two runs disagree\n\n"
                               "Each entry names its tests as `- test: Suite.Test`.\n\n";

TEST(KnownDifferencesTest, ReadsTheTestsOfEachSection) {
    const std::string text = std::string(kIntro) + R"(## Wine differs from Windows

### Wine repaints too early
- test: PaintTest.UpdateWindowPaintsOnce
- test: Sizes/RegionTest.Combines/3
Windows sends one WM_PAINT; Wine sends two.

## Other notes
Nothing here names a test.

## Fixed in our substitute

### GetLastError after GlobalFree
  - test: GlobalMemoryTest.FreeTwiceFails   
)";
    std::string error;
    const auto list = KnownDifferences::Parse(text, &error);
    ASSERT_TRUE(list) << error;
    EXPECT_EQ(list->WineDiffers(),
              (Names{"PaintTest.UpdateWindowPaintsOnce", "Sizes/RegionTest.Combines/3"}));
    EXPECT_EQ(list->FixedInSubstitute(), (Names{"GlobalMemoryTest.FreeTwiceFails"}));
    EXPECT_EQ(list->WineFilter(), "-PaintTest.UpdateWindowPaintsOnce:Sizes/RegionTest.Combines/3");
}

TEST(KnownDifferencesTest, EmptySectionsMeanNoFilter) {
    std::string error;
    const auto list = KnownDifferences::Parse(
        "## Wine differs from Windows\n\n## Fixed in our substitute\n", &error);
    ASSERT_TRUE(list) << error;
    EXPECT_TRUE(list->WineDiffers().empty());
    EXPECT_TRUE(list->FixedInSubstitute().empty());
    EXPECT_EQ(list->WineFilter(), "");
}

TEST(KnownDifferencesTest, TheRepositorysListParses) {
    std::string error;
    EXPECT_TRUE(KnownDifferences::Read(NERITH_KNOWN_DIFFERENCES, &error)) << error;
}

TEST(KnownDifferencesTest, RefusesAListTheRunnerCouldMisread) {
    const std::string sections = "## Wine differs from Windows\n## Fixed in our substitute\n";
    const struct {
        const char* what;
        std::string text;
        const char* error;
    } cases[] = {
        {"an entry before the sections", "- test: A.B\n" + sections,
         "line 1: \"A.B\" is outside the two sections"},
        {"an entry under another heading", sections + "## Notes\n- test: A.B\n",
         "line 4: \"A.B\" is outside the two sections"},
        {"the runner's prefix kept", sections + "- test: win32.A.B\n",
         "line 3: \"win32.A.B\" is not a test name"},
        {"no suite", sections + "- test: JustATest\n", "line 3: \"JustATest\" is not a test name"},
        {"a wildcard", sections + "- test: A.*\n", "is not a test name"},
        {"two names on a line", sections + "- test: A.B C.D\n", "is not a test name"},
        {"nothing", sections + "- test:\n", "is not a test name"},
        {"twice in one section", sections + "- test: A.B\n- test: A.B\n",
         "line 4: A.B is listed twice"},
        {"in both sections",
         "## Wine differs from Windows\n- test: A.B\n## Fixed in our substitute\n- test: A.B\n",
         "line 4: A.B is listed twice"},
        {"a section missing", "## Wine differs from Windows\n- test: A.B\n",
         "needs both \"## Wine differs from Windows\" and \"## Fixed in our substitute\""},
        {"a misspelt section", "## Wine differs from windows\n## Fixed in our substitute\n",
         "needs both"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(KnownDifferences::Parse(c.text, &error)) << c.what;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
    }
}

} // namespace
} // namespace nerith::testing
