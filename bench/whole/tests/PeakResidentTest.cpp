#include "PeakResident.h"
#include "Statistics.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

namespace nerith::bench {
namespace {

struct StatusCase {
    const char* name;
    const char* status;
    std::optional<long> kib;
};

TEST(PeakResident, ReadsOnlyAPlainVmHwmLineInKib) {
    const StatusCase cases[] = {
        {"among other lines", "Name:\tx\nVmPeak:\t  9000 kB\nVmHWM:\t   14752 kB\nVmRSS:\t 1 kB\n",
         14752},
        {"last line without newline", "VmHWM: 7 kB", 7},
        {"zero", "VmHWM:\t0 kB\n", 0},
        {"missing", "VmRSS:\t100 kB\n", std::nullopt},
        {"other unit", "VmHWM:\t12 MB\n", std::nullopt},
        {"no unit", "VmHWM:\t12\n", std::nullopt},
        {"not a number", "VmHWM:\tlots kB\n", std::nullopt},
        {"negative", "VmHWM:\t-5 kB\n", std::nullopt},
        {"trailing word", "VmHWM:\t5 kB extra\n", std::nullopt},
        {"digits then letters", "VmHWM:\t5x kB\n", std::nullopt},
        {"only inside another key", "XVmHWM:\t5 kB\n", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseVmHwmKib(c.status), c.kib) << c.name;
    }
}

TEST(PeakResident, OfThisProcessIsAtLeastWhatItHoldsNow) {
    std::vector<char> block(32 << 20, 1);
    const auto kib = PeakResidentKib(static_cast<int>(getpid()));
    ASSERT_TRUE(kib.has_value());
    EXPECT_GE(*kib, 32 * 1024) << static_cast<int>(block[block.size() / 2]);
}

TEST(PeakResident, OfAProcessThatIsGoneIsUnknown) {
    EXPECT_EQ(PeakResidentKib(-1), std::nullopt);
    EXPECT_EQ(PeakResidentKib(0x7FFFFFF0), std::nullopt);
}

TEST(Statistics, MedianOfUnsortedOddEvenAndNoValues) {
    EXPECT_DOUBLE_EQ(Median({5, 1, 3}), 3);
    EXPECT_DOUBLE_EQ(Median({4, 1, 3, 2}), 2.5);
    EXPECT_DOUBLE_EQ(Median({7}), 7);
    EXPECT_DOUBLE_EQ(Median({}), 0);
    EXPECT_DOUBLE_EQ(Median({1, 100, 2}), 2) << "an outlier does not move it";
}

} // namespace
} // namespace nerith::bench
