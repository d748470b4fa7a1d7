#include "BackendFixture.h"
#include "display/x11/ErrorHandlers.h"

#include <X11/Xatom.h>

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

// Error traps on a connection of their own, with a window that no longer exists.
class ErrorTrapTest : public XvfbTest {
protected:
    void SetUp() override {
        XvfbTest::SetUp();
        display_ = XOpenDisplay(server_->DisplayName().c_str());
        ASSERT_NE(display_, nullptr);
        platform::display::x11::InstallErrorHandlers();
        gone_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 10, 10, 0, 0, 0);
        XDestroyWindow(display_, gone_);
        XSync(display_, False);
    }
    void TearDown() override {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
        XvfbTest::TearDown();
    }

    // A request with a reply that fails.
    bool ReadFromGoneWindow() {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long remaining = 0;
        unsigned char* data = nullptr;
        const int status =
            XGetWindowProperty(display_, gone_, XA_WM_NAME, 0, 1, False, AnyPropertyType, &type,
                               &format, &count, &remaining, &data);
        if (data != nullptr) {
            XFree(data);
        }
        return status == Success;
    }

    Display* display_ = nullptr;
    Window gone_ = 0;
};

TEST_F(ErrorTrapTest, TakesTheErrorsOfItsOwnRequestsOnly) {
    using platform::display::x11::ScopedErrorTrap;
    XMapWindow(display_, gone_); // fails before any trap, answered later
    ::testing::internal::CaptureStderr();
    {
        ScopedErrorTrap quiet(display_);
        XNoOp(display_);
        EXPECT_FALSE(quiet.Failed()) << "took the error of a request made before it";
    }
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("BadWindow"), std::string::npos);
    ::testing::internal::CaptureStderr();
    {
        ScopedErrorTrap outer(display_);
        XUnmapWindow(display_, gone_);
        {
            ScopedErrorTrap inner(display_);
            XNoOp(display_);
            EXPECT_FALSE(inner.Failed()) << "took the error of the trap around it";
            XMapWindow(display_, gone_);
            EXPECT_TRUE(inner.Failed());
        }
        EXPECT_TRUE(outer.Failed());
    }
    {
        ScopedErrorTrap late(display_);
        XMapWindow(display_, gone_); // answered only as the trap ends
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "a trapped error was logged";
}

// A trap waits for the server only while requests of its own are unanswered: after a request
// with a reply it sends nothing more.
TEST_F(ErrorTrapTest, WaitsOnlyForRequestsNotYetAnswered) {
    using platform::display::x11::ScopedErrorTrap;
    unsigned long next = 0;
    {
        ScopedErrorTrap trap(display_);
        EXPECT_FALSE(ReadFromGoneWindow());
        next = NextRequest(display_);
        EXPECT_TRUE(trap.Failed());
        EXPECT_EQ(NextRequest(display_), next) << "Failed() made a round trip for nothing";
    }
    EXPECT_EQ(NextRequest(display_), next) << "the trap's end made a round trip for nothing";
    {
        ScopedErrorTrap trap(display_);
        XNoOp(display_);
        next = NextRequest(display_);
        EXPECT_FALSE(trap.Failed());
        EXPECT_GT(NextRequest(display_), next) << "an unanswered request was not waited for";
    }
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
