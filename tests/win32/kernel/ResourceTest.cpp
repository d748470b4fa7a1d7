#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace {

std::string Bytes(HMODULE module, HRSRC info) {
    const DWORD size = SizeofResource(module, info);
    HGLOBAL loaded = LoadResource(module, info);
    const auto* data = static_cast<const char*>(LockResource(loaded));
    return data ? std::string(data, size) : std::string("<no data>");
}

struct LookupCase {
    const char* name;
    LPCSTR resourceName;
    LPCSTR type;
    std::string content; // empty: the lookup must fail with `error`
    DWORD error;
};

const LookupCase kLookups[] = {
    {"integer id and type", MAKEINTRESOURCE(5), RT_RCDATA, "exe-data", 0},
    {"integer id, integer type of our own", MAKEINTRESOURCE(7), MAKEINTRESOURCE(7000),
     std::string("\1\0\2\0\3\0", 6), 0},
    {"string type", MAKEINTRESOURCE(164), "S19", "S9030000FC\r\n", 0},
    {"string type, lower case", MAKEINTRESOURCE(164), "s19", "S9030000FC\r\n", 0},
    {"id written as #number", "#164", "S19", "S9030000FC\r\n", 0},
    {"type written as #number", MAKEINTRESOURCE(5), "#10", "exe-data", 0},
    {"string name", "FIRMWARE", "S19", "S00600004844521B\r\nS9030000FC\r\n", 0},
    {"string name, any case", "firmware", "S19", "S00600004844521B\r\nS9030000FC\r\n", 0},
    {"missing id", MAKEINTRESOURCE(6), RT_RCDATA, "", ERROR_RESOURCE_NAME_NOT_FOUND},
    {"missing name", "SOFTWARE", "S19", "", ERROR_RESOURCE_NAME_NOT_FOUND},
    {"name where an id is", "S164", "S19", "", ERROR_RESOURCE_NAME_NOT_FOUND},
    {"missing integer type", MAKEINTRESOURCE(5), RT_BITMAP, "", ERROR_RESOURCE_TYPE_NOT_FOUND},
    {"missing string type", MAKEINTRESOURCE(164), "S28", "", ERROR_RESOURCE_TYPE_NOT_FOUND},
    {"string type of an integer one", MAKEINTRESOURCE(5), "RCDATA", "",
     ERROR_RESOURCE_TYPE_NOT_FOUND},
};

void CheckLookups(HMODULE module) {
    for (const LookupCase& c : kLookups) {
        SCOPED_TRACE(c.name);
        SetLastError(0);
        HRSRC info = FindResourceA(module, c.resourceName, c.type);
        if (c.content.empty()) {
            EXPECT_EQ(info, nullptr);
            EXPECT_EQ(GetLastError(), c.error);
            continue;
        }
        ASSERT_NE(info, nullptr) << GetLastError();
        EXPECT_EQ(SizeofResource(module, info), c.content.size());
        EXPECT_EQ(Bytes(module, info), c.content);
    }
}

TEST(Resources, FoundByIntegerAndStringNamesAndTypes) {
    CheckLookups(nullptr);
}

TEST(Resources, TheExecutableModuleHandleSeesTheSameResources) {
    HMODULE self = GetModuleHandleA(nullptr);
    ASSERT_NE(self, nullptr);
    CheckLookups(self);
}

TEST(Resources, LoadingTheSameResourceTwiceGivesTheSameBytes) {
    HRSRC info = FindResourceA(nullptr, "FIRMWARE", "S19");
    ASSERT_NE(info, nullptr);
    const void* first = LockResource(LoadResource(nullptr, info));
    const void* second = LockResource(LoadResource(nullptr, info));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
}

TEST(StringTable, LoadStringReadsAndCutsTheExecutablesTables) {
    struct Case {
        UINT id;
        int size;
        int result;
        std::string stored;
    };
    const Case cases[] = {
        {1, 64, 16, "first of block 1"},
        {15, 64, 15, "last of block 1"},
        {16, 64, 16, "first of block 2"},
        {17, 64, 17, "second of block 2"},
        {101, 64, 16, "&About Update..."},
        {2, 8, 0, ""},        // empty slot in an existing block
        {2000, 8, 0, ""},     // no such block
        {1, 8, 7, "first o"}, // cut to the buffer, always terminated
        {1, 1, 0, ""},
    };
    for (const Case& c : cases) {
        char buffer[65];
        std::fill(std::begin(buffer), std::end(buffer), '#');
        EXPECT_EQ(LoadStringA(nullptr, c.id, buffer, c.size), c.result) << c.id << "/" << c.size;
        EXPECT_EQ(std::string(buffer, std::find(buffer, buffer + c.size, '\0')), c.stored)
            << c.id << "/" << c.size;
        EXPECT_EQ(buffer[c.size], '#') << c.id << "/" << c.size;
    }
}

} // namespace
