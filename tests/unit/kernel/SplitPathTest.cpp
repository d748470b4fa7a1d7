#include "platform/crt.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A folder longer than the buffer is cut to fit rather than overrun it (the C runtimes differ
// here: some leave the parts empty).
TEST(SplitPath, CutsAnOverlongFolderToTheBuffer) {
    char dir[_MAX_DIR];
    char fname[_MAX_FNAME];
    const std::string deep = "/" + std::string(400, 'd') + "/f.x";
    _splitpath(deep.c_str(), nullptr, dir, fname, nullptr);
    EXPECT_EQ(std::string(dir), deep.substr(0, _MAX_DIR - 1));
    EXPECT_STREQ(fname, "f");
}

} // namespace
