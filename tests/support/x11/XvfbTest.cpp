#include "XvfbTest.h"

namespace nerith::testing {

void XvfbTest::SetUp() {
    if (!XvfbServer::Available()) {
        GTEST_SKIP() << "Xvfb is not installed (scripts/bootstrap installs the xvfb package)";
    }
    std::string error;
    server_ = XvfbServer::Start(ServerOptions(), &error);
    ASSERT_TRUE(server_) << error;
    session_ = XSession::Open(server_->DisplayName());
    ASSERT_TRUE(session_) << "cannot connect to " << server_->DisplayName();
    input_ = std::make_unique<XTestDriver>(*session_);
    ASSERT_TRUE(input_->Available()) << "the X server has no XTEST extension";
}

void XvfbTest::TearDown() {
    input_.reset();
    session_.reset();
    server_.reset();
}

} // namespace nerith::testing
