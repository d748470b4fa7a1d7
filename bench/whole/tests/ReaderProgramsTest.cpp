#include "LargeS1File.h"
#include "ReaderComparison.h"
#include "TimedProcess.h"

#include "DevsimProcess.h"
#include "S19Reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace nerith::bench {
namespace {

const std::string kBin = NERITH_BIN_DIR;
constexpr std::uint32_t kRecordsPerPass = 0x10000 / 32;

std::size_t DataRecords(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::size_t records = 0;
    while (std::getline(in, line)) {
        records += line.rfind("S1", 0) == 0;
    }
    return records;
}

TEST(TimedProcess, TimesAProgramAndReportsHowOneFailed) {
    std::string error;
    const auto ok = RunTimed({"true"}, &error);
    ASSERT_TRUE(ok) << error;
    EXPECT_GT(*ok, 0);
    EXPECT_FALSE(RunTimed({"false"}, &error));
    EXPECT_NE(error.find("exit 1"), std::string::npos) << error;
    EXPECT_FALSE(RunTimed({"/nonexistent/nerith-nothing"}, &error));
    EXPECT_NE(error.find("nerith-nothing"), std::string::npos) << error;
    EXPECT_FALSE(RunTimed({}, &error));
}

TEST(LargeS1File, EveryAddressHoldsWhatTheLastPassReachingItWrote) {
    const test::TempFolder work;
    const std::string path = work.File("large.s19");
    std::string error;
    const std::uint64_t size = WriteLargeS1File(path, 1u << 20, &error);
    ASSERT_GT(size, 0u) << error;
    EXPECT_EQ(std::filesystem::file_size(path), size);
    EXPECT_GE(size, 1u << 20);
    EXPECT_LT(size, (1u << 20) + 200) << "it stops at the first record past the size";

    const std::size_t records = DataRecords(path);
    const std::size_t fullPasses = records / kRecordsPerPass;
    ASSERT_GE(fullPasses, 2u);
    std::vector<BYTE> image(0x10000, 0xFF);
    std::vector<BYTE> pageMap(1024, 0);
    ASSERT_EQ(ReadS19File(path.c_str(), image.data(), pageMap.data()), 0);
    for (std::uint32_t address = 0; address < 0x10000; ++address) {
        const bool lastPassReached = address / 32 < records % kRecordsPerPass;
        const auto pass = static_cast<std::uint32_t>(lastPassReached ? fullPasses : fullPasses - 1);
        ASSERT_EQ(image[address], LargeS1Byte(pass, address)) << std::hex << address;
    }
    EXPECT_NE(LargeS1Byte(0, 0x1234), LargeS1Byte(1, 0x1234)) << "passes differ";
}

TEST(LargeS1File, AFolderThatDoesNotExistLeavesNothingAndSaysSo) {
    const test::TempFolder work;
    const std::string path = work.File("missing/large.s19");
    std::string error;
    EXPECT_EQ(WriteLargeS1File(path, 1000, &error), 0u);
    EXPECT_NE(error.find(path), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path));
}

// srec_cat checks every record's checksum and agrees with our reader on the resulting image.
TEST(ReaderComparison, BothReadersMakeTheSameImageOfBothFiles) {
    const test::TempFolder work;
    std::string error;
    ASSERT_GT(WriteLargeS1File(work.File("large.s19"), 300000, &error), 0u) << error;
    const ReaderPrograms programs{kBin + "/nerith-s19-image", "srec_cat", work.Path()};
    for (const std::string& file : {std::string(NERITH_CARRIED_IMAGE), work.File("large.s19")}) {
        const auto timing = CompareReaders(programs, file, 1, &error);
        ASSERT_TRUE(timing) << file << ": " << error;
        EXPECT_GT(timing->ours, 0);
        EXPECT_GT(timing->srecCat, 0);
    }
    EXPECT_FALSE(std::filesystem::exists(work.File("ours.bin"))) << "images are removed";
}

TEST(ReaderComparison, AFailingProgramIsAnErrorNotAFigure) {
    const test::TempFolder work;
    std::string error;
    const ReaderPrograms noSrecCat{kBin + "/nerith-s19-image", "/nonexistent/srec_cat",
                                   work.Path()};
    EXPECT_FALSE(CompareReaders(noSrecCat, NERITH_CARRIED_IMAGE, 1, &error));
    EXPECT_NE(error.find("srec_cat"), std::string::npos) << error;
    const ReaderPrograms programs{kBin + "/nerith-s19-image", "srec_cat", work.Path()};
    EXPECT_FALSE(CompareReaders(programs, work.File("absent.s19"), 1, &error));
    EXPECT_NE(error.find("nerith-s19-image"), std::string::npos) << error;
}

TEST(S19ImageProgram, WritesNoImageOfAFileThatDoesNotOpen) {
    const test::TempFolder work;
    std::string error;
    EXPECT_FALSE(RunTimed(
        {kBin + "/nerith-s19-image", work.File("absent.s19"), work.File("out.bin")}, &error));
    EXPECT_FALSE(std::filesystem::exists(work.File("out.bin")));
    EXPECT_FALSE(RunTimed({kBin + "/nerith-s19-image", NERITH_CARRIED_IMAGE}, &error))
        << "usage error";
    EXPECT_NE(error.find("exit 2"), std::string::npos) << error;
}

} // namespace
} // namespace nerith::bench
