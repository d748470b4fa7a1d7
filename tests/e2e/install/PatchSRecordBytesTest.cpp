#include "PatchSRecordBytes.h"

#include "DevsimProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace nerith::install_test {
namespace {

// Two records: 0x0100-0x0103 and 0x0104-0x0107.
const std::string kText = "S0030000FC\r\n"
                          "S107010001020304ED\r\n"
                          "S107010405060708D9\r\n"
                          "S9030000FC\r\n";

// srec_cat checks every checksum; the image tells which bytes changed.
std::vector<std::uint8_t> ImageOf(const std::string& text, const test::TempFolder& work) {
    std::ofstream(work.File("in.s19"), std::ios::binary) << text;
    const std::string command = "srec_cat '" + work.File("in.s19") + "' -offset -0x100 -o '" +
                                work.File("out.bin") + "' -binary 2>/dev/null";
    if (std::system(command.c_str()) != 0) {
        return {};
    }
    std::ifstream in(work.File("out.bin"), std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

TEST(PatchSRecordBytes, RewritesBytesAndChecksumsAcrossRecords) {
    const test::TempFolder work;
    const std::string& original = kText;
    ASSERT_EQ(ImageOf(original, work), (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}))
        << "the sample itself is valid";
    const auto patched = PatchSRecordBytes(original, 0x0103, {0xAA, 0xBB});
    ASSERT_TRUE(patched);
    EXPECT_EQ(ImageOf(*patched, work), (std::vector<std::uint8_t>{1, 2, 3, 0xAA, 0xBB, 6, 7, 8}));
    EXPECT_NE(patched->find("\r\n"), std::string::npos) << "line ends kept";
}

TEST(PatchSRecordBytes, RefusesAddressesNoRecordHolds) {
    const std::string& original = kText;
    EXPECT_FALSE(PatchSRecordBytes(original, 0x0107, {1, 2})) << "one byte past the data";
    EXPECT_FALSE(PatchSRecordBytes(original, 0x0000, {1})) << "the S0 header holds no data";
    EXPECT_FALSE(PatchSRecordBytes("", 0x0100, {1}));
    EXPECT_FALSE(PatchSRecordBytes("S1FF0100\r\n", 0x0100, {1})) << "a record cut short";
}

} // namespace
} // namespace nerith::install_test
