// Libraries damaged in the places a reader must not trust: every one is refused with
// ERROR_BAD_FORMAT, and none is read outside its bytes (the sanitizer builds check that).
#include "TestFolder.h"

#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

namespace {

const std::string kData = KERNEL_TEST_DATA_DIR;

std::uint32_t U32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at]) |
                                      (static_cast<unsigned char>(b[at + 1]) << 8) |
                                      (static_cast<unsigned char>(b[at + 2]) << 16)) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24);
}

std::uint16_t U16(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      (static_cast<unsigned char>(b[at + 1]) << 8));
}

void Put32(std::string& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
    }
}

void Put16(std::string& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<char>(v);
    b[at + 1] = static_cast<char>(v >> 8);
}

// Where the parts of the test library lie in its file.
struct Layout {
    std::size_t pe, sectionCountAt, resourceDirectoryAt, root, firstDataEntry;
    std::uint32_t rootRva;
};

Layout Locate(const std::string& b) {
    Layout l{};
    l.pe = U32(b, 0x3C);
    l.sectionCountAt = l.pe + 6;
    const std::size_t optional = l.pe + 24;
    const bool plus = U16(b, optional) == 0x20B;
    l.resourceDirectoryAt = optional + (plus ? 112 : 96) + 16;
    l.rootRva = U32(b, l.resourceDirectoryAt);
    const std::size_t sections = optional + U16(b, l.pe + 20);
    for (std::size_t i = 0; i < U16(b, l.sectionCountAt); ++i) {
        const std::size_t s = sections + 40 * i;
        const std::uint32_t va = U32(b, s + 12);
        if (l.rootRva >= va && l.rootRva < va + U32(b, s + 16)) {
            l.root = U32(b, s + 20) + (l.rootRva - va);
        }
    }
    std::size_t directory = l.root;
    for (int level = 0; level < 3; ++level) {
        const std::uint32_t target = U32(b, directory + 16 + 4);
        if (level < 2) {
            directory = l.root + (target & 0x7FFFFFFFu);
        } else {
            l.firstDataEntry = l.root + target;
        }
    }
    return l;
}

struct Damage {
    const char* name;
    std::function<void(std::string&, const Layout&)> apply;
};

const Damage kDamages[] = {
    {"PE header offset past the end",
     [](std::string& b, const Layout&) { Put32(b, 0x3C, 0xFFFFFF00u); }},
    {"no PE signature", [](std::string& b, const Layout& l) { b[l.pe] = 'X'; }},
    {"unknown optional header",
     [](std::string& b, const Layout& l) { Put16(b, l.pe + 24, 0x999); }},
    {"optional header larger than the file",
     [](std::string& b, const Layout& l) { Put16(b, l.pe + 20, 0xFFF0); }},
    {"65535 sections", [](std::string& b, const Layout& l) { Put16(b, l.sectionCountAt, 0xFFFF); }},
    {"resource RVA outside every section",
     [](std::string& b, const Layout& l) {
         Put32(b, l.resourceDirectoryAt, l.rootRva + 0x100000);
     }},
    {"resource size beyond its section",
     [](std::string& b, const Layout& l) { Put32(b, l.resourceDirectoryAt + 4, 0x7FFFFFF0u); }},
    {"65535 entries in the root",
     [](std::string& b, const Layout& l) { Put16(b, l.root + 14, 0xFFFF); }},
    {"directory that contains itself",
     [](std::string& b, const Layout& l) { Put32(b, l.root + 16 + 4, 0x80000000u); }},
    {"subdirectory offset past the section",
     [](std::string& b, const Layout& l) { Put32(b, l.root + 16 + 4, 0x8FFFFFF0u); }},
    {"string name past the section",
     [](std::string& b, const Layout& l) { Put32(b, l.root + 16, 0x8FFFFFF0u); }},
    {"data entry RVA outside every section",
     [](std::string& b, const Layout& l) { Put32(b, l.firstDataEntry, 0x7FFF0000u); }},
    {"data size beyond its section",
     [](std::string& b, const Layout& l) { Put32(b, l.firstDataEntry + 4, 0x7FFFFFF0u); }},
};

class CorruptLibrary : public testing::TestWithParam<const char*> {};

TEST_P(CorruptLibrary, IsRefusedWithBadFormat) {
    const std::string original = ReadWholeFile(kData + "/" + GetParam());
    ASSERT_GT(original.size(), 512u);
    const Layout layout = Locate(original);
    ASSERT_GT(layout.root, 0u);
    ASSERT_GT(layout.firstDataEntry, layout.root);
    TestFolder folder;
    for (const Damage& damage : kDamages) {
        SCOPED_TRACE(damage.name);
        std::string bytes = original;
        damage.apply(bytes, layout);
        ASSERT_NE(bytes, original);
        const std::string path = folder / "damaged.dll";
        ASSERT_TRUE(WriteWholeFile(path, bytes));
        SetLastError(0);
        HMODULE module = LoadLibraryA(path.c_str());
        EXPECT_EQ(module, nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_FORMAT));
        if (module) {
            FreeLibrary(module);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kernel, CorruptLibrary,
                         testing::Values("test_library64.dll", "test_library32.dll"));

} // namespace
