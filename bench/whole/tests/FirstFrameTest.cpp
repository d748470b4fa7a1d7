#include "FirstFrame.h"
#include "ScreenRecognizer.h"

#include <gtest/gtest.h>

namespace nerith::bench {
namespace {

using namespace std::chrono_literals;

TEST(FirstFrame, PaintedMeansMoreThanHalfThePixelsNotBlack) {
    testing::Image black(10, 10, 0x000000);
    testing::Image white(10, 10, 0xFFFFFF);
    testing::Image half = black;
    for (int x = 0; x < 10; ++x) {
        for (int y = 0; y < 5; ++y) {
            half.Set(x, y, 0x203040);
        }
    }
    testing::Image mostly = half;
    mostly.Set(0, 9, 0x010000);
    testing::Image alphaOnly(4, 4, 0xFF000000u);
    EXPECT_FALSE(IsPainted(black));
    EXPECT_TRUE(IsPainted(white));
    EXPECT_FALSE(IsPainted(half));
    EXPECT_TRUE(IsPainted(mostly));
    EXPECT_FALSE(IsPainted(alphaOnly)) << "only the colour counts";
    EXPECT_FALSE(IsPainted(testing::Image()));
}

class FirstFrameOnXvfb : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing::XvfbServer::Available()) {
            GTEST_SKIP() << "Xvfb is not installed";
        }
        std::string error;
        server_ = testing::XvfbServer::Start({}, &error);
        ASSERT_TRUE(server_) << error;
        x_ = testing::XSession::Open(server_->DisplayName());
        ASSERT_TRUE(x_);
        BlackenRoot(*x_);
    }

    std::unique_ptr<testing::ChildProcess> Start(std::vector<std::string> argv) {
        testing::ProcessOptions options;
        options.argv = std::move(argv);
        options.setEnv = {{"DISPLAY", server_->DisplayName()}, {"NERITH_DISPLAY", "x11"}};
        std::string error;
        auto process = testing::ChildProcess::Start(options, &error);
        EXPECT_TRUE(process) << error;
        return process;
    }

    std::unique_ptr<testing::XvfbServer> server_;
    std::unique_ptr<testing::XSession> x_;
};

TEST_F(FirstFrameOnXvfb, AMappedWindowCountsOnlyOnceItIsPainted) {
    auto sleeper = Start({"sleep", "30"});
    ASSERT_TRUE(sleeper);
    const testing::XId window = x_->CreatePlainWindow(RECT{10, 10, 210, 110}, false);
    x_->MapWindow(window);
    x_->Sync();
    ASSERT_TRUE(testing::WaitUntilViewable(*x_, window, 5s));
    EXPECT_FALSE(WaitForFirstFrame(*x_, *sleeper, 300ms)) << "mapped but never drawn";
    x_->FillRect(window, RECT{0, 0, 200, 100}, 0xFFFFFF);
    x_->Sync();
    EXPECT_TRUE(WaitForFirstFrame(*x_, *sleeper, 5s));
}

TEST_F(FirstFrameOnXvfb, GivesUpWhenTheProgramEndsWithoutAWindow) {
    auto quitter = Start({"true"});
    ASSERT_TRUE(quitter);
    const auto start = Clock::now();
    EXPECT_FALSE(WaitForFirstFrame(*x_, *quitter, 20s));
    EXPECT_LT(Clock::now() - start, 10s) << "it did not wait out the whole time-out";
}

TEST_F(FirstFrameOnXvfb, SeesTheFirstFrameOfAMinimalClient) {
    auto xmessage = Start({"xmessage", "Nerith"});
    ASSERT_TRUE(xmessage);
    const auto start = Clock::now();
    const auto frame = WaitForFirstFrame(*x_, *xmessage, 20s);
    ASSERT_TRUE(frame) << xmessage->Stderr();
    EXPECT_GT(*frame, start);
}

// The frame the watch reports is the whole main window, not a part of its picture.
TEST_F(FirstFrameOnXvfb, TheUpdatersFirstFrameIsItsWholeMainWindow) {
    demo::ScreenRecognizer recognizer;
    std::string error;
    ASSERT_TRUE(recognizer.Load(std::string(NERITH_BIN_DIR) + "/skins/ridozuveza.dll", &error))
        << error;
    auto updater = Start({std::string(NERITH_BIN_DIR) + "/nerith-update"});
    ASSERT_TRUE(updater);
    ASSERT_TRUE(WaitForFirstFrame(*x_, *updater, 20s)) << updater->Stderr();
    const auto windows = testing::FindWindowsByPid(*x_, updater->pid());
    bool mainShown = false;
    for (testing::XId window : windows) {
        if (x_->IsMapped(window)) {
            const auto seen = recognizer.Recognize(testing::CaptureWindow(*x_, window));
            mainShown = mainShown || seen.screen == demo::Screen::Main;
        }
    }
    EXPECT_TRUE(mainShown);
}

} // namespace
} // namespace nerith::bench
