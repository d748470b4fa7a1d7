#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace {

// Names no one else uses, removed again after each test.
class Environment : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetEnvironmentVariableA("NERITH_W32_A", "alpha"));
        ASSERT_TRUE(SetEnvironmentVariableA("NERITH_W32_B", "b\\c"));
        ASSERT_TRUE(SetEnvironmentVariableA("NERITH_W32_GONE", nullptr));
    }
    void TearDown() override {
        SetEnvironmentVariableA("NERITH_W32_A", nullptr);
        SetEnvironmentVariableA("NERITH_W32_B", nullptr);
    }
};

// The expansion and the count ExpandEnvironmentStringsA returned with it.
std::pair<std::string, DWORD> Expand(const char* text) {
    char buffer[MAX_PATH] = {};
    const DWORD count = ExpandEnvironmentStringsA(text, buffer, sizeof buffer);
    return {buffer, count};
}

TEST_F(Environment, ReplacesKnownNamesAndKeepsTheRest) {
    struct Case {
        const char* input;
        std::string expected;
    };
    const Case cases[] = {
        {"%NERITH_W32_A%", "alpha"},
        {"x%NERITH_W32_A%y", "xalphay"},
        {"%nerith_w32_a%", "alpha"},
        {"%NERITH_W32_A%%NERITH_W32_B%", "alphab\\c"},
        {"%NERITH_W32_B%\\temp.s19", "b\\c\\temp.s19"},
        {"%NERITH_W32_GONE%", "%NERITH_W32_GONE%"},
        {"%NERITH_W32_GONE%\\temp.s19", "%NERITH_W32_GONE%\\temp.s19"},
        {"100%", "100%"},
        {"%%", "%%"},
        {"%NERITH_W32_A", "%NERITH_W32_A"},
        {"%NERITH_W32_A%%", "alpha%"},
        {"", ""},
        {"plain text", "plain text"},
    };
    for (const Case& c : cases) {
        const auto [expanded, count] = Expand(c.input);
        EXPECT_EQ(expanded, c.expected) << c.input;
        // The count includes the terminator.
        EXPECT_EQ(count, c.expected.size() + 1) << c.input;
    }
}

TEST_F(Environment, SettingAgainInAnotherCaseReplacesTheVariable) {
    ASSERT_TRUE(SetEnvironmentVariableA("nerith_w32_a", "second"));
    EXPECT_EQ(Expand("%NERITH_W32_A%").first, "second");
    ASSERT_TRUE(SetEnvironmentVariableA("Nerith_W32_A", nullptr));
    EXPECT_EQ(Expand("%NERITH_W32_A%").first, "%NERITH_W32_A%");
    EXPECT_EQ(Expand("%nerith_w32_a%").first, "%nerith_w32_a%");
}

TEST_F(Environment, ReportsTheSizeNeededWhenTheBufferIsShort) {
    ASSERT_TRUE(SetEnvironmentVariableA("NERITH_W32_A", "abcdef"));
    for (DWORD size : {7u, 8u, 6u, 1u}) {
        char buffer[16];
        std::fill(std::begin(buffer), std::end(buffer), '#');
        EXPECT_EQ(ExpandEnvironmentStringsA("%NERITH_W32_A%", buffer, size), 7u) << size;
        // Nothing is written past the size given.
        EXPECT_EQ(buffer[size], '#') << size;
        if (size >= 7) {
            EXPECT_EQ(std::string(buffer), "abcdef") << size;
        }
    }
    EXPECT_EQ(ExpandEnvironmentStringsA("%NERITH_W32_A%", nullptr, 0), 7u);
}

} // namespace
