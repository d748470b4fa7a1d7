#include "DeviceTime.h"

#include <gtest/gtest.h>

#include <vector>

namespace nerith::bench {
namespace {

TEST(DeviceTime, CountsOfAStatsReply) {
    const RequestCounts counts =
        ParseRequestCounts("ok enter_icp=1 erase=2 program=63 junk bad= =4 neg=-1 big=1x");
    EXPECT_EQ(counts, (RequestCounts{{"enter_icp", 1}, {"erase", 2}, {"program", 63}}));
    EXPECT_TRUE(ParseRequestCounts("error: nerith-devsim does not answer").empty());
}

TEST(DeviceTime, CountsBetweenTwoRepliesPerKind) {
    const RequestCounts before{{"register", 3}, {"program", 10}};
    const RequestCounts after{{"register", 3}, {"program", 73}, {"erase", 1}};
    EXPECT_EQ(CountsBetween(before, after),
              (RequestCounts{{"register", 0}, {"program", 63}, {"erase", 1}}));
    EXPECT_EQ(CountsBetween(after, before).at("program"), 0u) << "a restarted device never "
                                                                 "counts negative";
}

TEST(DeviceTime, MarkedBytesCountOnlyFlash1Pages) {
    std::vector<std::uint8_t> pageMap(1024, 0);
    EXPECT_EQ(MarkedFlash1Bytes(pageMap), 0u);
    pageMap[0x7000 / 64] = 0xFF; // first page of Flash #1
    pageMap[0xEDC0 / 64] = 0xFF; // last page of Flash #1
    pageMap[0xEE00 / 64] = 0xFF; // just past it
    pageMap[0x6FC0 / 64] = 0xFF; // just before it
    pageMap[0xFFC0 / 64] = 0xFF; // vectors
    EXPECT_EQ(MarkedFlash1Bytes(pageMap), 128u);
    std::fill(pageMap.begin(), pageMap.end(), 0xFF);
    EXPECT_EQ(MarkedFlash1Bytes(pageMap), 0xEE00u - 0x7000u);
    EXPECT_EQ(MarkedFlash1Bytes(std::span<const std::uint8_t>(pageMap).first(10)), 0u)
        << "a short map is not read past its end";
}

TEST(DeviceTime, OneUpdateIsEveryRequestOneRegionEraseAndOneProgramPass) {
    const RequestCounts counts{{"fw_version", 1}, {"enter_icp", 1}, {"isp_open", 4},
                               {"isp_close", 4},  {"verify", 56},   {"erase", 1},
                               {"program", 63}};
    const DeviceWork work = UpdateWork(counts, 20480);
    EXPECT_EQ(work.requests, 130u);
    EXPECT_EQ(work.programmedBytes, 20480u);
    EXPECT_EQ(work.erasedPages, 504u);
    EXPECT_EQ(work.massErases, 0u);
    // 130 x 200 us + 20480 x 30 us + 504 x 2 ms
    EXPECT_NEAR(ModelledDeviceSeconds(work), 0.026 + 0.6144 + 1.008, 1e-9);
}

TEST(DeviceTime, APartialProgramPassWritesItsShareAndMassErasesCount) {
    const DeviceWork work = UpdateWork({{"program", 21}, {"mass_erase", 2}}, 6300);
    EXPECT_EQ(work.programmedBytes, 2100u);
    EXPECT_EQ(work.erasedPages, 0u);
    EXPECT_NEAR(ModelledDeviceSeconds(work), 23 * 200e-6 + 2100 * 30e-6 + 2 * 4e-3, 1e-9);
}

} // namespace
} // namespace nerith::bench
