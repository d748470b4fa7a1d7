// One whole update with nerith-update under valgrind's memcheck: no invalid access, no use of
// undefined values, no definite leak. The suppressions cover system libraries only.
#include "CarriedImage.h"
#include "UpdateFixture.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace nerith::e2e {
namespace {

constexpr auto kValgrindTimeout = 90s;

std::string Contents(const std::string& path) {
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

class ValgrindRunTest : public UpdateTest {
protected:
    // The updater behind a script that runs it under memcheck in the same process, so its
    // windows still carry the pid the session looks for.
    std::string Wrapper(const std::string& log) {
        std::string path = tools_.File("nerith-update-memcheck");
        std::ofstream(path) << "#!/bin/sh\nexec '" NERITH_VALGRIND "' --tool=memcheck "
                            << "--error-exitcode=99 --leak-check=full "
                            << "--show-leak-kinds=definite --errors-for-leak-kinds=definite "
                            << "--track-origins=yes --num-callers=30 "
                            << "--suppressions='" NERITH_VALGRIND_SUPPRESSIONS "' "
                            << "--log-file='" << log << "' '" NERITH_UPDATER_PATH "'\n";
        ::chmod(path.c_str(), 0755);
        return path;
    }

    test::TempFolder tools_;
};

TEST_F(ValgrindRunTest, WholeUpdateHasNoInvalidAccessAndNoDefiniteLeak) {
    StartDevice({"--image-version=1,63"});
    ASSERT_FALSE(HasFatalFailure());
    const std::string log = tools_.File("memcheck.log");
    demo::UpdaterEnvironment environment;
    environment.program = Wrapper(log);
    environment.display = server_->DisplayName();
    environment.deviceDir = deviceDir_;
    environment.temp = temp_->Path();
    environment.timeScale = "0.01";
    std::string error;
    updater_ = demo::UpdaterSession::Start(*session_, *recognizer_, environment, &error);
    ASSERT_NE(updater_, nullptr) << error;
    updater_->ParkPointer();

    const View main = WaitFor(Screen::Main, kValgrindTimeout);
    ASSERT_FALSE(HasFailure()) << Contents(log);
    ASSERT_TRUE(updater_->ClickOk(main));
    updater_->ParkPointer();
    const View notice = WaitFor(Screen::Success, kValgrindTimeout);
    ASSERT_FALSE(HasFailure()) << Contents(log);
    ASSERT_TRUE(updater_->ClickOk(notice));
    const std::optional<int> status = updater_->Process().Wait(kValgrindTimeout);

    const std::string report = Contents(log);
    for (const char* line : {"ERROR SUMMARY:", "definitely lost:", "indirectly lost:"}) {
        const std::size_t at = report.find(line);
        if (at != std::string::npos) {
            std::printf("memcheck %s\n", report.substr(at, report.find('\n', at) - at).c_str());
        }
    }
    ASSERT_TRUE(status.has_value()) << "the updater did not end under valgrind";
    EXPECT_EQ(*status, 0) << report;
    EXPECT_NE(report.find("ERROR SUMMARY: 0 errors"), std::string::npos) << report;
    EXPECT_TRUE(TempFiles().empty());
    EXPECT_TRUE(demo::Flash1Of(Flash()) == ReferenceFlash1());
}

} // namespace
} // namespace nerith::e2e
