#include "Environment.h"
#include "TestFolder.h"

#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Expand(const char* text) {
    char buffer[MAX_PATH * 2] = {};
    const DWORD needed = ExpandEnvironmentStringsA(text, buffer, sizeof buffer);
    EXPECT_EQ(needed, std::string(buffer).size() + 1) << text;
    return buffer;
}

TEST(ExpandEnvironmentStrings, ReplacesKnownNamesAndKeepsTheRest) {
    ScopedVariable a("NERITH_TEST_A", "alpha");
    ScopedVariable b("NERITH_TEST_B", "b\\c");
    ScopedVariable gone("NERITH_TEST_GONE", std::nullopt);
    struct Case {
        const char* input;
        std::string expected;
    };
    const Case cases[] = {
        {"%NERITH_TEST_A%", "alpha"},
        {"x%NERITH_TEST_A%y", "xalphay"},
        {"%nerith_test_a%", "alpha"},
        {"%NERITH_TEST_A%%NERITH_TEST_B%", "alphab\\c"},
        {"%NERITH_TEST_B%\\temp.s19", "b\\c\\temp.s19"},
        {"%NERITH_TEST_GONE%", "%NERITH_TEST_GONE%"},
        {"%NERITH_TEST_GONE%\\temp.s19", "%NERITH_TEST_GONE%\\temp.s19"},
        {"%NERITH_TEST_GONE%NERITH_TEST_A%", "%NERITH_TEST_GONE%NERITH_TEST_A%"},
        {"100%", "100%"},
        {"%%", "%%"},
        {"50%%NERITH_TEST_A%", "50%%NERITH_TEST_A%"},
        {"%NERITH_TEST_A", "%NERITH_TEST_A"},
        {"", ""},
        {"plain text", "plain text"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Expand(c.input), c.expected) << c.input;
    }
}

TEST(ExpandEnvironmentStrings, ReportsTheSizeNeededWhenTheBufferIsShort) {
    ScopedVariable a("NERITH_TEST_A", "abcdef");
    struct Case {
        DWORD size;
        std::string stored;
    };
    const Case cases[] = {
        {7, "abcdef"},
        {8, "abcdef"},
        {6, "abcde"},
        {1, ""},
    };
    for (const Case& c : cases) {
        char buffer[16];
        std::fill(std::begin(buffer), std::end(buffer), '#');
        EXPECT_EQ(ExpandEnvironmentStringsA("%NERITH_TEST_A%", buffer, c.size), 7u) << c.size;
        EXPECT_EQ(std::string(buffer), c.stored) << c.size;
        // Nothing is written past the size given.
        EXPECT_EQ(buffer[c.size], '#') << c.size;
    }
    char untouched[4] = {'#', '#', '#', '\0'};
    EXPECT_EQ(ExpandEnvironmentStringsA("%NERITH_TEST_A%", untouched, 0), 7u);
    EXPECT_EQ(std::string(untouched), "###");
    EXPECT_EQ(ExpandEnvironmentStringsA("%NERITH_TEST_A%", nullptr, 0), 7u);
    SetLastError(0);
    EXPECT_EQ(ExpandEnvironmentStringsA(nullptr, untouched, 4), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

class PrivateTemp : public testing::Test {
protected:
    TestFolder runtime;
    ScopedVariable temp{"TEMP", std::nullopt};
    ScopedVariable tmp{"TMP", std::nullopt};
    ScopedVariable xdg{"XDG_RUNTIME_DIR", runtime.Path()};
    std::string expected = runtime / ("nerith-temp-" + CurrentUserId());
};

TEST_F(PrivateTemp, IsCreatedForTheUserWhenTempIsUnset) {
    EXPECT_EQ(Expand("%TEMP%"), expected);
    EXPECT_EQ(Expand("%TMP%\\temp.s19"), expected + "\\temp.s19");
    EXPECT_EQ(GetFileAttributesA(expected.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(PermissionBits(expected), 0700);

    // The folder is usable for the updater's own file.
    const std::string file = Expand("%TEMP%\\temp.s19");
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_TRUE(DeleteFileA(file.c_str()));
}

TEST_F(PrivateTemp, AnEmptyTempCountsAsUnset) {
    ScopedVariable empty("TEMP", "");
    EXPECT_EQ(Expand("%TEMP%"), expected);
}

TEST_F(PrivateTemp, ADefinedTempWins) {
    ScopedVariable set("TEMP", "/somewhere/else");
    EXPECT_EQ(Expand("%TEMP%"), "/somewhere/else");
    EXPECT_FALSE(Exists(expected));
}

TEST_F(PrivateTemp, TightensItsOwnLooseFolder) {
    ASSERT_TRUE(MakeFolder(expected));
    ASSERT_TRUE(SetPermissionBits(expected, 0755));
    EXPECT_EQ(Expand("%TEMP%"), expected);
    EXPECT_EQ(PermissionBits(expected), 0700);
}

TEST_F(PrivateTemp, RepairsAnyModeOfItsOwnFolder) {
    for (int mode : {0500, 0750, 0777, 01777, 02700}) {
        SCOPED_TRACE(mode);
        ASSERT_TRUE(MakeFolder(expected));
        ASSERT_TRUE(SetPermissionBits(expected, mode));
        EXPECT_EQ(Expand("%TEMP%"), expected);
        EXPECT_EQ(PermissionBits(expected), 0700);
        ASSERT_TRUE(RemoveFolder(expected));
    }
}

TEST_F(PrivateTemp, RefusesAFileAtItsName) {
    ASSERT_TRUE(WriteWholeFile(expected, "not a folder"));
    EXPECT_EQ(Expand("%TEMP%"), "%TEMP%");
    EXPECT_EQ(ReadWholeFile(expected), "not a folder");
}

TEST_F(PrivateTemp, RefusesAPlantedSymlink) {
    TestFolder elsewhere;
    ASSERT_TRUE(MakeSymlink(elsewhere.Path(), expected));
    EXPECT_EQ(Expand("%TEMP%"), "%TEMP%");
    EXPECT_TRUE(IsSymlink(expected));
}

TEST_F(PrivateTemp, RefusesAFolderOfAnotherUser) {
    ASSERT_TRUE(MakeFolder(expected));
    if (!GiveAwayToAnotherUser(expected)) {
        GTEST_SKIP() << "only root can hand a folder to another user";
    }
    EXPECT_EQ(Expand("%TEMP%"), "%TEMP%");
}

} // namespace
