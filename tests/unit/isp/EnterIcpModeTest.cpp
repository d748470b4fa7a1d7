// Entry into programming mode through a driver written in the test.
#include "DevsimProcess.h"
#include "IcpControlCode.h"
#include "IspSession.h"
#include "ScriptedDriver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>

namespace {

using nerith::test::DriverCall;
using nerith::test::DriverReply;
using nerith::test::ScriptedDriver;

class EnterIcp : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("NERITH_DEVICE_DIR", folder_.Path().c_str(), 1); }
    nerith::test::TempFolder folder_;
    std::unique_ptr<CIspSession> session_ = std::make_unique<CIspSession>();
};

TEST_F(EnterIcp, SendsOneByteOfOneAndClosesItsHandle) {
    std::atomic<DWORD> code{0};
    std::vector<std::uint8_t> input;
    std::atomic<DWORD> outLength{99};
    ScriptedDriver driver(folder_.Path(), "korvel", [&](DriverCall& call) {
        code = call.Request().code;
        input.assign(call.Request().input.begin(), call.Request().input.end());
        outLength = call.Request().outLength;
        return DriverReply::Ok();
    });
    EXPECT_EQ(session_->EnterIcpMode(), 1);
    EXPECT_EQ(code.load(), 0x222490u);
    EXPECT_EQ(IOCTL_ENTER_ICP, 0x222490u);
    EXPECT_EQ(input, std::vector<std::uint8_t>{0x01});
    EXPECT_EQ(outLength.load(), 0u);
    EXPECT_EQ(driver.Requests(), 1u);
}

TEST_F(EnterIcp, RefusedRequestGivesZero) {
    ScriptedDriver driver(folder_.Path(), "korvel",
                          [](DriverCall&) { return DriverReply::Fail(ERROR_GEN_FAILURE); });
    EXPECT_EQ(session_->EnterIcpMode(), 0);
    EXPECT_EQ(driver.Requests(), 1u);
}

TEST_F(EnterIcp, AbsentDeviceGivesZeroAfterItsAttempts) {
    const DWORD start = GetTickCount();
    EXPECT_EQ(session_->EnterIcpMode(), 0);
    // 30 attempts of 2,000 ms each, scaled by NERITH_TIME_SCALE for the test.
    const char* scaleText = std::getenv("NERITH_TIME_SCALE");
    const double scale = std::atof(scaleText ? scaleText : "1");
    EXPECT_GE(GetTickCount() - start + 5, static_cast<DWORD>(60000 * scale));
}

} // namespace
