// A GoogleTest fixture with its own Xvfb, a session on it and an XTest driver. The test is
// skipped, saying why, only when Xvfb is not installed; any other start failure fails it.
#pragma once

#include "XSession.h"
#include "XTestDriver.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <memory>

namespace nerith::testing {

class XvfbTest : public ::testing::Test {
protected:
    // Tests that need another screen override this.
    virtual XvfbOptions ServerOptions() const { return {}; }

    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<XvfbServer> server_;
    std::unique_ptr<XSession> session_;
    std::unique_ptr<XTestDriver> input_;
};

} // namespace nerith::testing
