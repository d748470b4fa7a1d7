#include "TestFolder.h"

#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

const std::string kData = KERNEL_TEST_DATA_DIR;

std::string Bytes(HMODULE module, HRSRC info) {
    const DWORD size = SizeofResource(module, info);
    const auto* data = static_cast<const char*>(LockResource(LoadResource(module, info)));
    return data ? std::string(data, size) : std::string("<no data>");
}

struct LookupCase {
    const char* name;
    LPCSTR resourceName;
    LPCSTR type;
    std::string content; // empty: the lookup must fail with `error`
    DWORD error;
};

void CheckLookups(HMODULE module, const LookupCase* cases, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const LookupCase& c = cases[i];
        SCOPED_TRACE(c.name);
        SetLastError(0);
        HRSRC info = FindResourceA(module, c.resourceName, c.type);
        if (c.content.empty()) {
            EXPECT_EQ(info, nullptr);
            EXPECT_EQ(GetLastError(), c.error);
            continue;
        }
        ASSERT_NE(info, nullptr) << GetLastError();
        EXPECT_EQ(Bytes(module, info), c.content);
    }
}

class Library : public testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryA((kData + "/test_library64.dll").c_str());
        ASSERT_NE(module, nullptr) << GetLastError();
    }
    void TearDown() override {
        if (module) {
            EXPECT_TRUE(FreeLibrary(module));
        }
    }
    HMODULE module = nullptr;
};

const LookupCase kLibraryCases[] = {
    {"integer id", MAKEINTRESOURCE(1), RT_RCDATA, "hello", 0},
    {"string name", "LOGO", RT_RCDATA, "named resource", 0},
    {"string name, any case", "logo", RT_RCDATA, "named resource", 0},
    {"jpgs type as the skin loader asks", MAKEINTRESOURCE(1015), "jpgs", "not really a jpeg", 0},
    {"mixed-case type", MAKEINTRESOURCE(1021), "SkinMask", std::string("\1\0\2\0\3\0\4\0", 8), 0},
    {"missing id", MAKEINTRESOURCE(1016), "jpgs", "", ERROR_RESOURCE_NAME_NOT_FOUND},
    {"missing name", "NOLOGO", RT_RCDATA, "", ERROR_RESOURCE_NAME_NOT_FOUND},
    {"missing type", MAKEINTRESOURCE(1015), "png", "", ERROR_RESOURCE_TYPE_NOT_FOUND},
    {"integer id is not a name", MAKEINTRESOURCE(1), "LOGO", "", ERROR_RESOURCE_TYPE_NOT_FOUND},
};

TEST_F(Library, FindsItsResourcesByIdAndName) {
    CheckLookups(module, kLibraryCases, std::size(kLibraryCases));
}

TEST_F(Library, OfBothPeFormats) {
    HMODULE pe32 = LoadLibraryA((kData + "/test_library32.dll").c_str());
    ASSERT_NE(pe32, nullptr) << GetLastError();
    EXPECT_NE(pe32, module);
    CheckLookups(pe32, kLibraryCases, std::size(kLibraryCases));
    EXPECT_TRUE(FreeLibrary(pe32));
}

TEST_F(Library, KeepsItsResourcesApartFromTheExecutable) {
    SetLastError(0);
    EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCE(164), "S19"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
    HRSRC exeInfo = FindResourceA(nullptr, MAKEINTRESOURCE(5), RT_RCDATA);
    ASSERT_NE(exeInfo, nullptr);
    // A resource handle of one module means nothing to another.
    SetLastError(0);
    EXPECT_EQ(SizeofResource(module, exeInfo), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(LoadResource(module, exeInfo), nullptr);
}

TEST_F(Library, SamePathGivesTheSameCountedModule) {
    const std::string other = kData + "\\.\\test_library64.dll";
    HMODULE again = LoadLibraryA(other.c_str());
    EXPECT_EQ(again, module);
    EXPECT_TRUE(FreeLibrary(again));
    // Still loaded: the first reference remains.
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCE(1), RT_RCDATA), nullptr);
    EXPECT_EQ(GetModuleHandleA("TEST_LIBRARY64.DLL"), module);

    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    EXPECT_GT(length, 0u);
    EXPECT_EQ(std::string(path).substr(std::string(path).size() - 18), "test_library64.dll");
    EXPECT_EQ(GetFileAttributesA(path), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
}

TEST(LoadLibrary, AfterTheLastFreeTheHandleIsGone) {
    HMODULE module = LoadLibraryA((kData + "/test_library64.dll").c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_TRUE(FreeLibrary(module));
    SetLastError(0);
    EXPECT_FALSE(FreeLibrary(module));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCE(1), RT_RCDATA), nullptr);
    EXPECT_EQ(GetModuleHandleA("test_library64.dll"), nullptr);
}

TEST(LoadLibrary, LibraryWithoutResources) {
    HMODULE module = LoadLibraryA((kData + "/empty_library.dll").c_str());
    ASSERT_NE(module, nullptr) << GetLastError();
    SetLastError(0);
    EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCE(1), RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(LoadLibrary, RefusesWhatIsNotALibrary) {
    TestFolder folder;
    ASSERT_TRUE(WriteWholeFile(folder / "text.dll", "MZ but nothing else of a PE image"));
    ASSERT_TRUE(WriteWholeFile(folder / "empty.dll", ""));
    ASSERT_TRUE(MakeFifo(folder / "fifo.dll"));
    struct Case {
        std::string path;
        DWORD error;
    };
    const Case cases[] = {
        {folder / "missing.dll", ERROR_MOD_NOT_FOUND},
        {folder / "no-folder/missing.dll", ERROR_MOD_NOT_FOUND},
        {folder.Path(), ERROR_MOD_NOT_FOUND},
        {folder / "fifo.dll", ERROR_MOD_NOT_FOUND},
        {folder / "text.dll", ERROR_BAD_FORMAT},
        {folder / "empty.dll", ERROR_BAD_FORMAT},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(LoadLibraryA(c.path.c_str()), nullptr) << c.path;
        EXPECT_EQ(GetLastError(), c.error) << c.path;
    }
}

TEST(LoadLibrary, EveryTruncationOfARealLibraryFailsCleanly) {
    const std::string whole = ReadWholeFile(kData + "/test_library64.dll");
    ASSERT_GT(whole.size(), 512u);
    TestFolder folder;
    const std::string path = folder / "cut.dll";
    int loaded = 0;
    for (std::size_t length = 0; length < whole.size(); length += 7) {
        ASSERT_TRUE(WriteWholeFile(path, whole.substr(0, length)));
        SetLastError(0);
        HMODULE module = LoadLibraryA(path.c_str());
        if (module) {
            // Only a cut inside trailing padding may still load, and then it must be whole.
            ++loaded;
            CheckLookups(module, kLibraryCases, std::size(kLibraryCases));
            EXPECT_TRUE(FreeLibrary(module));
        } else {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_FORMAT)) << length;
        }
    }
    EXPECT_LT(loaded, 80);
}

// A library's resources are read from its file when first loaded: what was loaded stays as it
// was, and one whose bytes the file no longer holds fails cleanly instead of being made up.
TEST(LoadLibrary, AResourceTheFileNoLongerHoldsFailsToLoad) {
    const std::string whole = ReadWholeFile(kData + "/test_library64.dll");
    TestFolder folder;
    const std::string path = folder / "shrinking.dll";
    ASSERT_TRUE(WriteWholeFile(path, whole));
    HMODULE module = LoadLibraryA(path.c_str());
    ASSERT_NE(module, nullptr) << GetLastError();
    HRSRC first = FindResourceA(module, MAKEINTRESOURCE(1), RT_RCDATA);
    HRSRC logo = FindResourceA(module, "LOGO", RT_RCDATA);
    ASSERT_TRUE(first && logo);
    const auto* loaded = static_cast<const char*>(LockResource(LoadResource(module, first)));
    ASSERT_NE(loaded, nullptr);
    ASSERT_TRUE(WriteWholeFile(path, whole.substr(0, 512)));
    SetLastError(0);
    EXPECT_EQ(LoadResource(module, logo), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_READ_FAULT));
    EXPECT_EQ(Bytes(module, first), "hello") << "a loaded resource changed";
    EXPECT_EQ(LockResource(LoadResource(module, first)), loaded) << "loaded twice";
    EXPECT_TRUE(FreeLibrary(module));
}

// The headers and resource tree are read from the start of the file, more of it while the tree
// lies further in: a library whose resources begin far into the file loads whole.
TEST(LoadLibrary, FindsAResourceTreeFarIntoTheFile) {
    const std::string whole = ReadWholeFile(kData + "/test_library64.dll");
    const auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(whole[at])) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(whole[at + 1])) << 8 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(whole[at + 2])) << 16 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(whole[at + 3])) << 24;
    };
    const std::size_t pe = u32(0x3C);
    const std::size_t sectionCount = static_cast<unsigned char>(whole[pe + 6]);
    const std::size_t sections = pe + 24 + (u32(pe + 20) & 0xFFFF);
    std::uint32_t firstRaw = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::uint32_t raw = u32(sections + 40 * i + 20);
        firstRaw = raw != 0 ? std::min(firstRaw, raw) : firstRaw;
    }
    ASSERT_LT(firstRaw, whole.size());
    // Every section's bytes moved 300 KiB further, the headers saying so.
    constexpr std::uint32_t kShift = 300 << 10;
    std::string moved =
        whole.substr(0, firstRaw) + std::string(kShift, '\0') + whole.substr(firstRaw);
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t at = sections + 40 * i + 20;
        const std::uint32_t raw = u32(at);
        for (int b = 0; b < 4 && raw != 0; ++b) {
            moved[at + static_cast<std::size_t>(b)] = static_cast<char>((raw + kShift) >> (8 * b));
        }
    }
    TestFolder folder;
    const std::string path = folder / "far.dll";
    ASSERT_TRUE(WriteWholeFile(path, moved));
    HMODULE module = LoadLibraryA(path.c_str());
    ASSERT_NE(module, nullptr) << GetLastError();
    CheckLookups(module, kLibraryCases, std::size(kLibraryCases));
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(ModuleFileName, NamesTheRunningExecutable) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, static_cast<DWORD>(MAX_PATH));
    EXPECT_EQ(std::string(path).size(), length);
    EXPECT_NE(std::string(path).find("kernel_unit_tests"), std::string::npos);
    EXPECT_EQ(GetFileAttributesA(path), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(GetModuleFileNameA(GetModuleHandleA(nullptr), path, MAX_PATH), length);
}

TEST(ModuleFileName, CutsTheNameAsWindowsDoes) {
    char full[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, full, MAX_PATH);
    ASSERT_GT(length, 4u);
    struct Case {
        DWORD size;
        DWORD result;
        DWORD error;
        std::string stored;
    };
    const Case cases[] = {
        {length + 1, length, ERROR_SUCCESS, full},
        {length, length, ERROR_INSUFFICIENT_BUFFER, std::string(full, length - 1)},
        {4, 4, ERROR_INSUFFICIENT_BUFFER, std::string(full, 3)},
        {1, 1, ERROR_INSUFFICIENT_BUFFER, ""},
    };
    for (const Case& c : cases) {
        char buffer[MAX_PATH + 1];
        std::fill(std::begin(buffer), std::end(buffer), '#');
        SetLastError(0xBEEF);
        EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, c.size), c.result) << c.size;
        EXPECT_EQ(GetLastError(), c.error) << c.size;
        EXPECT_EQ(std::string(buffer), c.stored) << c.size;
        EXPECT_EQ(buffer[c.size], '#') << c.size;
    }
}

TEST(LoadString, ReadsStringTablesOfTheExecutable) {
    struct Case {
        UINT id;
        std::string text;
    };
    const Case cases[] = {
        {1, "first of block 1"},
        {15, "last of block 1"},
        {16, "first of block 2"},
        {17, "second of block 2"},
        {101, "&About Update..."},
        {300, "Gr\xC3\xB6\xC3\x9F"
              "e \xE2\x9C\x93"},
    };
    for (const Case& c : cases) {
        char buffer[64];
        const int length = LoadStringA(nullptr, c.id, buffer, sizeof buffer);
        EXPECT_EQ(length, static_cast<int>(c.text.size())) << c.id;
        EXPECT_EQ(std::string(buffer), c.text) << c.id;
    }
}

TEST(LoadString, FailsOrCutsSafely) {
    char buffer[8];
    struct Case {
        UINT id;
        int size;
        int result;
        std::string stored;
    };
    const Case cases[] = {
        {2, 8, 0, ""},        // empty slot in an existing block
        {2000, 8, 0, ""},     // no such block
        {1, 8, 7, "first o"}, // cut to the buffer
        {300, 4, 2, "Gr"},    // never half a character
        {300, 5, 4, "Gr\xC3\xB6"},
    };
    for (const Case& c : cases) {
        std::fill(std::begin(buffer), std::end(buffer), '#');
        EXPECT_EQ(LoadStringA(nullptr, c.id, buffer, c.size), c.result) << c.id;
        EXPECT_EQ(std::string(buffer, std::find(buffer, buffer + c.size, '\0')), c.stored) << c.id;
    }
    EXPECT_EQ(LoadStringA(nullptr, 1, buffer, 0), 0);
    EXPECT_EQ(LoadStringA(nullptr, 1, nullptr, 8), 0);
}

TEST(LoadString, ReadsStringTablesOfALibrary) {
    HMODULE module = LoadLibraryA((kData + "/test_library64.dll").c_str());
    ASSERT_NE(module, nullptr);
    char buffer[32];
    EXPECT_EQ(LoadStringA(module, 7, buffer, sizeof buffer), 14);
    EXPECT_EQ(std::string(buffer), "library string");
    EXPECT_EQ(LoadStringA(module, 101, buffer, sizeof buffer), 0);
    EXPECT_TRUE(FreeLibrary(module));
}

} // namespace
