// Drivers that stop answering: the updater never waits for ever. A driver silent at start-up
// still lets the main window appear; one that stalls in the middle of programming ends in the
// failure notice within the request time-out, with the temporary file gone.
#include "CarriedImage.h"
#include "RogueDriver.h"
#include "UpdateFixture.h"
#include "platform/internal/device_wire.h"

#include <csignal>

namespace nerith::e2e {
namespace {

using Clock = std::chrono::steady_clock;
using test::RogueDriver;

// The fixture runs the updater at time scale 0.01, which puts its request time-out on the
// platform's floor.
std::chrono::milliseconds Timeout() {
    return std::chrono::milliseconds(platform::devices::wire::kRequestTimeoutFloorMs);
}

// What a loaded machine may add to the wait: the stage's close, the notice's painting and the
// test's own sampling of the screen.
constexpr auto kSlack = 8s;

class StalledDriverTest : public UpdateTest {
protected:
    void ExpectCleanExit(const View& notice) {
        ExpectExitAfterOk(notice);
        EXPECT_FALSE(updater_->Process().Running());
        EXPECT_TRUE(TempFiles().empty()) << "temp.s19 was left behind";
    }
};

TEST_F(StalledDriverTest, DriverSilentAtRegistrationStillLetsTheWindowAppear) {
    test::TempFolder devices;
    RogueDriver rogue(devices.Path(), {"--silent"});
    ASSERT_TRUE(rogue.Listening()) << rogue.Error();
    deviceDir_ = devices.Path();
    const auto start = Clock::now();
    StartUpdater();
    ASSERT_FALSE(HasFatalFailure());
    const View main = WaitFor(Screen::Main);
    ASSERT_FALSE(HasFailure());
    const auto shown = Clock::now() - start;
    EXPECT_GE(shown, Timeout()) << "the registration was not waited for";
    EXPECT_LE(shown, Timeout() + kSlack);
    EXPECT_EQ(rogue.Count("request 0x222400"), 1) << "one registration request";

    ASSERT_TRUE(updater_->ClickOk(main));
    const auto pressed = Clock::now();
    const View notice = WaitFor(Screen::Failure);
    ASSERT_FALSE(HasFailure());
    EXPECT_LT(Clock::now() - pressed, Timeout()) << "the closed channel answers at once";
    EXPECT_EQ(rogue.Count("request"), 1) << "nothing more goes to a driver that did not answer";
    EXPECT_EQ(rogue.Count("descriptor"), 0);
    ExpectCleanExit(notice);
}

TEST_F(StalledDriverTest, DriverThatStallsMidProgramEndsInTheFailureNotice) {
    test::TempFolder devices;
    RogueDriver rogue(devices.Path(), {"--stall-at-program=5"});
    ASSERT_TRUE(rogue.Listening()) << rogue.Error();
    deviceDir_ = devices.Path();
    StartUpdater();
    ASSERT_FALSE(HasFatalFailure());
    const View main = WaitFor(Screen::Main);
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(updater_->ClickOk(main));
    const View notice = WaitFor(Screen::Failure, 40s);
    ASSERT_FALSE(HasFailure());
    const auto noticed = Clock::now();
    const auto stalled = rogue.StalledAt();
    ASSERT_TRUE(stalled) << "the driver never reached the sixth program block; it saw:\n"
                         << rogue.Report() << UpdaterStderr();
    EXPECT_GE(noticed - *stalled, Timeout());
    EXPECT_LE(noticed - *stalled, Timeout() + kSlack);
    EXPECT_EQ(rogue.Count("request 0x222810"), 6) << "program blocks 0..5 and nothing after";
    ExpectCleanExit(notice);
}

// A real nerith-devsim that hangs (SIGSTOP) at the sixth program block.
TEST_F(StalledDriverTest, DeviceFrozenMidProgramEndsInTheFailureNotice) {
    const View main = StartAndShowMain({"--image-version=1,63", "--fault=freeze-at:5"});
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(updater_->ClickOk(main));
    const auto pressed = Clock::now();
    const View notice = WaitFor(Screen::Failure, 40s);
    ASSERT_FALSE(HasFailure());
    const auto took = Clock::now() - pressed;
    EXPECT_TRUE(devsim_->Stopped()) << "the device never froze";
    EXPECT_GE(took, Timeout());
    EXPECT_LE(took, Timeout() + kSlack);
    ExpectCleanExit(notice);
    ASSERT_EQ(::kill(devsim_->Pid(), SIGCONT), 0);
    EXPECT_EQ(DeviceCount("program"), 6u);
    EXPECT_NE(demo::Flash1Of(Flash()), ReferenceFlash1()) << "the image was not all written";
}

} // namespace
} // namespace nerith::e2e
