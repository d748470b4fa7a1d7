// A soak test that fails on a descriptor must say which file it is, or the failure cannot be
// told from a once-per-process resource.
#include "ProcessFigures.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

using nerith::test::DescriptorsAdded;
using nerith::test::ReadProcessFigures;

TEST(ProcessFigures, NamesTheFileADescriptorOpenedSinceTheFirstReading) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("nerith-figures-" + std::to_string(getpid()));
    std::ofstream(path) << "x";
    const auto before = ReadProcessFigures(static_cast<int>(getpid()));
    ASSERT_TRUE(before);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    const auto after = ReadProcessFigures(static_cast<int>(getpid()));
    ::close(fd);
    std::filesystem::remove(path);
    ASSERT_TRUE(after);

    EXPECT_EQ(after->openFds, before->openFds + 1);
    EXPECT_EQ(static_cast<int>(after->fdTargets.size()), after->openFds);
    EXPECT_EQ(DescriptorsAdded(*before, *after), path.string() + "\n");
    EXPECT_EQ(DescriptorsAdded(*after, *before), "") << "a closed file is no new descriptor";
}

TEST(ProcessFigures, AreMissingForAProcessThatIsGone) {
    EXPECT_FALSE(ReadProcessFigures(-1));
}

} // namespace
