// The reader of compiled resource files, which only ever sees the executable's own embedded
// bytes: it is checked directly, with a real .res cut and damaged.
#include "kernel/ResFile.h"
#include "TestFolder.h"

#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

using platform::kernel::ParseResFile;
using platform::kernel::ResourceId;
using platform::kernel::ResourceTable;

std::vector<std::uint8_t> TestRes() {
    const std::string bytes = ReadWholeFile(std::string(KERNEL_TEST_DATA_DIR) + "/test_exe.res");
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

// Offsets at which an entry's data ends, with or without its padding: a file cut there is a
// shorter valid file.
std::set<std::size_t> EntryEnds(const std::vector<std::uint8_t>& res) {
    std::set<std::size_t> ends;
    std::size_t at = 0;
    while (at + 8 <= res.size()) {
        const std::uint32_t data = res[at] | (res[at + 1] << 8) | (res[at + 2] << 16);
        const std::uint32_t header = res[at + 4] | (res[at + 5] << 8) | (res[at + 6] << 16);
        const std::size_t end = at + header + data;
        at = (end + 3) & ~std::size_t{3};
        for (std::size_t e = end; e <= at; ++e) {
            ends.insert(e);
        }
    }
    return ends;
}

TEST(ResFile, ReadsEveryEntryOfARealFile) {
    const auto res = TestRes();
    ResourceTable table;
    ASSERT_EQ(ParseResFile(res.data(), res.size(), table), static_cast<DWORD>(ERROR_SUCCESS));
    DWORD error = 0;
    const auto* s19 = table.Find(ResourceId::FromArgument("S19"),
                                 ResourceId::FromArgument(MAKEINTRESOURCE(164)), error);
    ASSERT_NE(s19, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(s19->data), s19->size), "S9030000FC\r\n");
    EXPECT_EQ(s19->language, 0x409);
    // Four string blocks, one RCDATA, one S19.
    EXPECT_EQ(table.Count(), 6u);
}

TEST(ResFile, EveryCutIsRefusedUnlessItEndsAnEntry) {
    const auto res = TestRes();
    const auto ends = EntryEnds(res);
    for (std::size_t length = 1; length < res.size(); ++length) {
        // A copy of exactly `length` bytes, so reading past it is caught by the sanitizers.
        const std::vector<std::uint8_t> cut(res.begin(),
                                            res.begin() + static_cast<std::ptrdiff_t>(length));
        ResourceTable table;
        const DWORD result = ParseResFile(cut.data(), cut.size(), table);
        if (ends.count(length)) {
            EXPECT_EQ(result, static_cast<DWORD>(ERROR_SUCCESS)) << length;
        } else {
            EXPECT_EQ(result, static_cast<DWORD>(ERROR_BAD_FORMAT)) << length;
            EXPECT_EQ(table.Count(), 0u) << length;
        }
    }
}

TEST(ResFile, DamagedHeadersAreRefused) {
    const auto original = TestRes();
    const std::size_t second = 32; // the first real entry follows the 32-byte marker entry
    struct Case {
        const char* name;
        std::size_t offset;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"data size past the end", second, {0xF0, 0xFF, 0xFF, 0x7F}},
        {"header size past the end", second + 4, {0xF0, 0xFF, 0xFF, 0x7F}},
        {"header size too small", second + 4, {4, 0, 0, 0}},
        {"header too short for its fields", second + 4, {12, 0, 0, 0}},
        {"name never terminated", second + 8, {'A', 0, 'B', 0, 'C', 0, 'D', 0, 'E', 0, 'F', 0,
                                               'G', 0, 'H', 0, 'I', 0, 'J', 0, 'K', 0, 'L', 0}},
    };
    for (const Case& c : cases) {
        auto res = original;
        std::copy(c.bytes.begin(), c.bytes.end(), res.begin() + static_cast<long>(c.offset));
        ResourceTable table;
        EXPECT_EQ(ParseResFile(res.data(), res.size(), table), static_cast<DWORD>(ERROR_BAD_FORMAT))
            << c.name;
    }
    ResourceTable table;
    EXPECT_EQ(ParseResFile(original.data(), 0, table), static_cast<DWORD>(ERROR_BAD_FORMAT));
}

} // namespace
