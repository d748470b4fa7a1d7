#include "MinorFaults.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

namespace nerith::bench {
namespace {

struct StatCase {
    const char* name;
    const char* stat;
    std::optional<long> faults;
};

TEST(MinorFaults, ReadsTheTenthFieldCountingFromTheProcessName) {
    const StatCase cases[] = {
        {"plain", "26908 (cat) R 26904 26904 10186 0 -1 4194304 103 0 0 0 0 0\n", 103},
        {"name with spaces and parentheses", "7 (a (b) c) S 1 7 7 0 -1 64 4521 9 2 0 5 1", 4521},
        {"name of one closing parenthesis", "7 ()) S 1 7 7 0 -1 64 88 9 2", 88},
        {"zero", "1 (init) S 0 1 1 0 -1 4194560 0 0 0 0", 0},
        {"too few fields", "1 (x) S 0 1 1 0 -1 4194560", std::nullopt},
        {"not a number", "1 (x) S 0 1 1 0 -1 4194560 many 0", std::nullopt},
        {"negative", "1 (x) S 0 1 1 0 -1 4194560 -3 0", std::nullopt},
        {"no name", "1 x S 0 1 1 0 -1 4194560 12 0", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseMinorFaults(c.stat), c.faults) << c.name;
    }
}

TEST(MinorFaults, GrowByAtLeastThePagesAProcessTouchesFirst) {
    const long page = sysconf(_SC_PAGESIZE);
    constexpr long kPages = 2048;
    const auto before = MinorFaults(static_cast<int>(getpid()));
    ASSERT_TRUE(before.has_value());
    std::vector<char> block(static_cast<std::size_t>(kPages * page));
    for (std::size_t i = 0; i < block.size(); i += static_cast<std::size_t>(page)) {
        block[i] = 1;
    }
    const auto after = MinorFaults(static_cast<int>(getpid()));
    ASSERT_TRUE(after.has_value());
    EXPECT_GE(*after - *before, kPages) << static_cast<int>(block[block.size() / 2]);
}

TEST(MinorFaults, OfAProcessThatIsGoneAreUnknown) {
    EXPECT_EQ(MinorFaults(-1), std::nullopt);
    EXPECT_EQ(MinorFaults(0x7FFFFFF0), std::nullopt);
}

} // namespace
} // namespace nerith::bench
