// nerith-update with no display to show on: a clear message, a non-zero exit, no hang.
#include "ChildProcess.h"

#include <gtest/gtest.h>

namespace {

using nerith::testing::ChildProcess;
using nerith::testing::ProcessOptions;

TEST(NoDisplay, TheUpdaterSaysSoAndEndsWithAFailure) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> setEnv;
        std::vector<std::string> unsetEnv;
        const char* message;
    };
    const Case cases[] = {
        {"DISPLAY unset", {}, {"DISPLAY", "NERITH_DISPLAY"}, "no display"},
        {"DISPLAY names no server",
         {{"DISPLAY", ":4093"}},
         {"NERITH_DISPLAY"},
         "cannot open the X display"},
        {"unknown backend", {{"NERITH_DISPLAY", "vga"}}, {}, "is not a display"},
    };
    for (const Case& c : cases) {
        ProcessOptions options;
        options.argv = {NERITH_UPDATE_PATH};
        options.setEnv = c.setEnv;
        options.setEnv.emplace_back("NERITH_DEVICE_DIR", "/nonexistent/nerith-devices");
        options.unsetEnv = c.unsetEnv;
        std::string error;
        auto process = ChildProcess::Start(options, &error);
        ASSERT_TRUE(process) << error;
        const std::optional<int> status = process->Wait(std::chrono::seconds(20));
        ASSERT_TRUE(status.has_value()) << c.name << ": still running";
        EXPECT_NE(*status, 0) << c.name;
        EXPECT_LT(*status, 128) << c.name << ": ended by a signal";
        EXPECT_NE(process->Stderr().find(c.message), std::string::npos)
            << c.name << ": " << process->Stderr();
    }
}

} // namespace
