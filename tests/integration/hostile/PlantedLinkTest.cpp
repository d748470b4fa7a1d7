// A link planted where the updater creates its temporary image file: nothing may be written
// through it. (The whole updater in such a TEMP is tested end to end in tests/e2e/hostile.)
#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

class PlantedLink : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = "/tmp/nerith-hostile-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    std::string root_;
};

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// A file created anew must never be written through a link someone planted at its name:
// neither into the file the link names nor as a new file where a dangling link points.
TEST_F(PlantedLink, CreatingTheFileRefusesALinkPlantedAtItsName) {
    const std::string victim = root_ + "/victim";
    std::ofstream(victim) << "precious";
    struct Case {
        const char* name;
        std::string target;
    };
    const Case cases[] = {{"to an existing file", victim},
                          {"dangling", root_ + "/created-through-link"}};
    for (const Case& c : cases) {
        const std::string link = root_ + "/temp.s19";
        fs::remove(link);
        fs::create_symlink(c.target, link);
        const HANDLE hFile = CreateFileA(link.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_EQ(hFile, INVALID_HANDLE_VALUE) << c.name;
        if (hFile != INVALID_HANDLE_VALUE) {
            CloseHandle(hFile);
        }
        EXPECT_EQ(Contents(victim), "precious") << c.name;
        EXPECT_FALSE(fs::exists(root_ + "/created-through-link")) << c.name;
        EXPECT_TRUE(fs::is_symlink(link)) << c.name;
    }
}

} // namespace
