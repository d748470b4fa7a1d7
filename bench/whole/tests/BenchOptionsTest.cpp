#include "BenchOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nerith::bench {
namespace {

// argv as main gets it, with the null entry after the last argument.
struct Argv {
    explicit Argv(std::vector<std::string> words) : words(std::move(words)) {
        for (std::string& word : this->words) {
            pointers.push_back(word.data());
        }
        pointers.push_back(nullptr);
    }
    int argc() const { return static_cast<int>(words.size()); }
    std::vector<std::string> words;
    std::vector<char*> pointers;
};

TEST(BenchOptions, TakesItsOwnAndLeavesTheRestForGoogleBenchmark) {
    Argv args({"nerith-bench", "--bin=/b", "--benchmark_min_time=0.1", "--update-runs=5",
               "--image=/i.s19", "--large-mb=2", "--benchmark_filter=read"});
    int argc = args.argc();
    std::string error;
    const auto options = ParseBenchOptions(&argc, args.pointers.data(), BenchOptions{}, &error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->bin, "/b");
    EXPECT_EQ(options->image, "/i.s19");
    EXPECT_EQ(options->updateRuns, 5);
    EXPECT_EQ(options->startupRuns, BenchOptions{}.startupRuns);
    EXPECT_EQ(options->largeFileBytes, 2u << 20);
    ASSERT_EQ(argc, 3);
    EXPECT_STREQ(args.pointers[1], "--benchmark_min_time=0.1");
    EXPECT_STREQ(args.pointers[2], "--benchmark_filter=read");
    EXPECT_EQ(args.pointers[3], nullptr);
}

TEST(BenchOptions, RejectsBadValuesWithTheOptionNamed) {
    const char* bad[] = {"--update-runs=0", "--startup-runs=-3",  "--reader-runs=ten",
                         "--large-mb=",     "--update-runs=1001", "--reader-runs=+4",
                         "--bin=",          "--srec-cat=",        "--startup-runs=99999999999999"};
    for (const char* option : bad) {
        Argv args({"nerith-bench", option});
        int argc = args.argc();
        std::string error;
        EXPECT_FALSE(ParseBenchOptions(&argc, args.pointers.data(), BenchOptions{}, &error))
            << option;
        const std::string key(option, std::string(option).find('='));
        EXPECT_NE(error.find(key), std::string::npos) << option << ": " << error;
    }
}

} // namespace
} // namespace nerith::bench
