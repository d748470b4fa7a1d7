#include "BackendFixture.h"

#include <cstdlib>

namespace nerith::testing {
namespace {

using ConnectionTest = BackendTest;

TEST(ConnectionOpenTest, AnUnreachableDisplayGivesNoBackendAndSaysWhy) {
    ::testing::internal::CaptureStderr();
    auto backend = platform::display::CreateX11Backend(":9876");
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(backend, nullptr);
    EXPECT_NE(said.find("cannot open the X display \":9876\""), std::string::npos) << said;
}

TEST_F(ConnectionTest, ProtocolErrorsAreLoggedOnceAndTheProgramGoesOn) {
    const NativeId id = ShowWindow(RECT{10, 10, 110, 110});
    const NativeId other = ShowWindow(RECT{200, 10, 300, 110});
    session_->DestroyWindow(id); // behind the backend's back, as a dying server client might
    ::testing::internal::CaptureStderr();
    backend_->Move(id, RECT{20, 20, 120, 120});
    Settle();
    const std::string first = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(first.find("X error BadWindow"), std::string::npos) << first;
    ::testing::internal::CaptureStderr();
    backend_->Move(id, RECT{30, 30, 130, 130});
    Settle();
    const std::string again = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(again, "") << "the same errors were logged twice";
    backend_->Move(other, RECT{250, 60, 350, 160});
    Settle();
    const auto placed = session_->Geometry(other);
    ASSERT_TRUE(placed);
    EXPECT_EQ(placed->left, 250);
    backend_->Destroy(id);
}

// Runs in the death test's child: its own server, killed while the backend waits on it.
[[noreturn]] void WaitWhileTheServerDies() {
    auto server = XvfbServer::Start();
    if (!server) {
        std::_Exit(3);
    }
    auto backend = platform::display::CreateX11Backend(server->DisplayName().c_str());
    if (!backend) {
        std::_Exit(4);
    }
    NativeWindowDesc desc;
    desc.screenRect = RECT{0, 0, 50, 50};
    backend->Show(backend->Create(desc), true);
    server->Stop();
    // Events that came before the server went may still be handed out; the loss ends the wait.
    InputEvent event;
    while (backend->WaitEvent(event, 5000)) {
    }
    std::_Exit(5);
}

TEST(ConnectionLossTest, ALostDisplayEndsTheProgramWithAMessage) {
    if (!XvfbServer::Available()) {
        GTEST_SKIP() << "Xvfb is not installed (scripts/bootstrap installs the xvfb package)";
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(WaitWhileTheServerDies(), ::testing::ExitedWithCode(1),
                "lost the connection to the X display");
}

} // namespace
} // namespace nerith::testing
