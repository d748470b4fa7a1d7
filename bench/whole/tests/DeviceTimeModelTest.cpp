// The device time the bench works out must be what a timed nerith-devsim really spends: a
// model that missed the erase or the bytes, or counted a pass twice, would move the limit the
// update is judged against.
#include "CarriedImage.h"
#include "ChildProcess.h"
#include "DeviceTime.h"
#include "DevsimControl.h"
#include "DevsimProcess.h"
#include "IspSession.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>

namespace nerith::bench {
namespace {

double ChargedSeconds(const std::string& devices) {
    const std::string reply = demo::DevsimCommand(devices, "timed");
    const auto at = reply.find("us=");
    return at == std::string::npos ? -1.0 : std::strtod(reply.c_str() + at + 3, nullptr) / 1e6;
}

TEST(DeviceTimeModel, MatchesTheTimeATimedDeviceSpendsOnTheStages) {
    const test::TempFolder work;
    const std::string devices = work.File("devices");
    testing::ProcessOptions options;
    options.argv = {std::string(NERITH_BIN_DIR) + "/nerith-devsim", "--dir=" + devices,
                    "--image-version=1,63", "--timing"};
    options.unsetEnv = {"NERITH_TIME_SCALE"};
    std::string error;
    auto devsim = testing::ChildProcess::Start(options, &error);
    ASSERT_TRUE(devsim) << error;
    ASSERT_TRUE(demo::WaitForDevsim(devices, 10000)) << devsim->Stderr();
    ::setenv("NERITH_DEVICE_DIR", devices.c_str(), 1);

    auto session = std::make_unique<CIspSession>();
    session->m_strFilePath = NERITH_CARRIED_IMAGE;
    ASSERT_EQ(session->EnterIcpMode(), 1);
    ASSERT_EQ(session->OnBConnect(), 1);
    ASSERT_EQ(session->OnBLoadFile(), 1);
    const RequestCounts before = ParseRequestCounts(demo::DevsimCommand(devices, "stats"));
    const double chargedBefore = ChargedSeconds(devices);
    const auto start = std::chrono::steady_clock::now();
    session->OnBVerify();
    ASSERT_EQ(session->OnBMasserase(), 1);
    ASSERT_EQ(session->OnBProgram(), 1);
    const double measured =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const RequestCounts after = ParseRequestCounts(demo::DevsimCommand(devices, "stats"));
    const double charged = ChargedSeconds(devices) - chargedBefore;

    const double modelled = ModelledDeviceSeconds(
        UpdateWork(CountsBetween(before, after),
                   MarkedFlash1Bytes(std::span<const std::uint8_t>(session->m_pageMap, 1024))));
    EXPECT_GT(modelled, 1.0) << "the region erase alone takes 504 pages x 2 ms";
    EXPECT_GE(measured, modelled) << "the device cannot be faster than its own waits";
    // Against what the device charged, not the wall clock: a loaded machine overruns sleeps.
    // The model estimates the programmed bytes from the marked pages, hence the margin.
    EXPECT_NEAR(modelled, charged, charged * 0.05) << "measured " << measured;
}

} // namespace
} // namespace nerith::bench
