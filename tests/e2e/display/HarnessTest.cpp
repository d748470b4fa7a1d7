// The test support itself, where a fault would hide faults of the code under test.
#include "x11/X11TestSupport.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace nerith::testing {
namespace {

const std::uint32_t kQuadrants[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

// Paints four quadrants with colours the server allocates, then reads them back.
void ExpectQuadrantsReadBack(XSession& session) {
    const RECT area{10, 20, 90, 80};
    const XId window = session.CreatePlainWindow(area, true);
    session.MapWindow(window);
    ASSERT_TRUE(WaitUntilViewable(session, window, std::chrono::milliseconds(2000)));
    const RECT parts[] = {{0, 0, 40, 30}, {40, 0, 80, 30}, {0, 30, 40, 60}, {40, 30, 80, 60}};
    for (int i = 0; i < 4; ++i) {
        session.FillRect(window, parts[i], kQuadrants[i]);
    }
    session.Sync();
    const Image screen = CaptureScreen(session, area);
    const Image own = CaptureWindow(session, window);
    for (const Image* image : {&screen, &own}) {
        ASSERT_EQ(image->width, 80);
        ASSERT_EQ(image->height, 60);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(CountPixels(*image, kQuadrants[i], parts[i]), 40 * 30) << i;
        }
    }
    session.DestroyWindow(window);
}

using HarnessTest = XvfbTest;

TEST_F(HarnessTest, ScreenshotsKeepChannelsAndRows) {
    ExpectQuadrantsReadBack(*session_);
}

class Harness16BitTest : public XvfbTest {
protected:
    XvfbOptions ServerOptions() const override {
        XvfbOptions options;
        options.depth = 16;
        options.width = 320;
        options.height = 240;
        return options;
    }
};

TEST_F(Harness16BitTest, ScreenshotsWidenShallowChannelsToFullIntensity) {
    EXPECT_EQ(session_->Depth(), 16);
    EXPECT_EQ(session_->ScreenRect().right, 320);
    ExpectQuadrantsReadBack(*session_);
}

TEST_F(HarnessTest, EachServerHasItsOwnDisplayAndLeavesNothingRunning) {
    auto second = XvfbServer::Start();
    ASSERT_TRUE(second);
    EXPECT_NE(second->DisplayName(), server_->DisplayName());
    EXPECT_TRUE(XSession::Open(second->DisplayName()));
    const std::string lock = "/tmp/.X" + second->DisplayName().substr(1) + "-lock";
    const int pid = second->pid();
    second.reset();
    EXPECT_NE(kill(pid, 0), 0) << "Xvfb still running after its owner went";
    // The freed display number may already serve another test's server, so only its lock file
    // can tell: it is gone, or it names another process.
    std::ifstream held(lock);
    int holder = 0;
    EXPECT_FALSE(held >> holder && holder == pid) << lock << " still names the stopped server";
}

TEST_F(HarnessTest, TopLevelWindowsAreListedInStackingOrder) {
    const XId a = session_->CreatePlainWindow(RECT{0, 0, 10, 10}, true);
    const XId b = session_->CreatePlainWindow(RECT{0, 0, 10, 10}, true);
    session_->MapWindow(a);
    session_->MapWindow(b);
    auto position = [&](XId w) {
        const auto all = TopLevelWindows(*session_);
        return std::find(all.begin(), all.end(), w) - all.begin();
    };
    EXPECT_LT(position(a), position(b));
    session_->MapWindow(a); // raises it
    EXPECT_GT(position(a), position(b));
}

TEST_F(HarnessTest, WaitsForWindowsAreBounded) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(WaitForMappedWindow(*session_, "no such window", std::chrono::milliseconds(200)));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(200));
    EXPECT_LT(waited, std::chrono::milliseconds(1500));
}

class TempFile {
public:
    TempFile() {
        char name[] = "/tmp/nerith-harness-XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0) {
            close(fd);
        }
        path_ = name;
    }
    ~TempFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

TEST(PngTest, WrittenFilesAreRealPngsThatReadBackExactly) {
    Image image(3, 2);
    const std::uint32_t colours[] = {0x010203, 0xFF0000, 0x00FF00, 0x0000FF, 0xFEDCBA, 0x000000};
    std::copy(std::begin(colours), std::end(colours), image.pixels.begin());
    TempFile file;
    std::string error;
    ASSERT_TRUE(WritePng(file.path(), image, &error)) << error;
    std::ifstream in(file.path(), std::ios::binary);
    char signature[8] = {};
    in.read(signature, 8);
    EXPECT_EQ(std::string(signature, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    const auto back = ReadPng(file.path(), &error);
    ASSERT_TRUE(back) << error;
    EXPECT_FALSE(FirstDifference(*back, image)) << DescribeDifference(*back, image);
}

TEST(PngTest, BadFilesAndImagesGiveErrorsNotCrashes) {
    TempFile file;
    std::ofstream(file.path(), std::ios::binary) << "\x89PNG\r\n\x1a\nnot really a png";
    std::string error;
    EXPECT_FALSE(ReadPng(file.path(), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(ReadPng("/nonexistent/dir/file.png", &error));
    EXPECT_FALSE(WritePng("/nonexistent/dir/file.png", Image(2, 2), &error));
    EXPECT_FALSE(WritePng(file.path(), Image(), &error));
}

TEST(ImageTest, HelpersClipAndCompare) {
    Image image(4, 3, 0x111111);
    image.Set(3, 2, 0x222222);
    image.Set(0, 1, 0x222222);
    EXPECT_EQ(CountPixels(image, 0x222222), 2);
    EXPECT_EQ(CountPixels(image, 0x222222, RECT{1, 0, 10, 10}), 1);
    const Image corner = Crop(image, RECT{2, 1, 9, 9});
    EXPECT_EQ(corner.width, 2);
    EXPECT_EQ(corner.height, 2);
    EXPECT_EQ(corner.At(1, 1), 0x222222u);
    EXPECT_TRUE(Crop(image, RECT{5, 5, 9, 9}).Empty());
    Image other = image;
    EXPECT_FALSE(FirstDifference(image, other));
    other.Set(2, 1, 0);
    const auto at = FirstDifference(image, other);
    ASSERT_TRUE(at);
    EXPECT_EQ(at->x, 2);
    EXPECT_EQ(at->y, 1);
    EXPECT_EQ(DescribeDifference(image, other), "(2, 1): 0x111111 vs 0x000000");
    EXPECT_TRUE(FirstDifference(image, Image(4, 2, 0x111111)));
}

TEST(ChildProcessTest, CapturesOutputStatusAndEnvironment) {
    setenv("NERITH_HARNESS_DROPPED", "present", 1);
    ProcessOptions options;
    options.argv = {"sh", "-c",
                    "echo out; echo err >&2; echo \"$NERITH_HARNESS_SET\"; "
                    "echo \"${NERITH_HARNESS_DROPPED-unset}\"; exit 3"};
    options.setEnv = {{"NERITH_HARNESS_SET", "given"}};
    options.unsetEnv = {"NERITH_HARNESS_DROPPED"};
    std::string error;
    auto child = ChildProcess::Start(options, &error);
    ASSERT_TRUE(child) << error;
    EXPECT_EQ(child->Wait(std::chrono::milliseconds(5000)), 3);
    EXPECT_EQ(child->Stdout(), "out\ngiven\nunset\n");
    EXPECT_EQ(child->Stderr(), "err\n");
    unsetenv("NERITH_HARNESS_DROPPED");
}

TEST(ChildProcessTest, WaitsAreBoundedAndChildrenAreEnded) {
    ProcessOptions options;
    options.argv = {"sleep", "30"};
    auto child = ChildProcess::Start(options);
    ASSERT_TRUE(child);
    EXPECT_EQ(child->Wait(std::chrono::milliseconds(50)), std::nullopt);
    EXPECT_TRUE(child->Running());
    EXPECT_EQ(child->Terminate(), 128 + SIGTERM);
    EXPECT_FALSE(child->Running());
}

TEST(ChildProcessTest, AMissingProgramExitsWith127) {
    ProcessOptions options;
    options.argv = {"/nonexistent/program"};
    auto child = ChildProcess::Start(options);
    ASSERT_TRUE(child);
    EXPECT_EQ(child->Wait(std::chrono::milliseconds(5000)), 127);
    EXPECT_FALSE(ChildProcess::Start(ProcessOptions{}));
}

} // namespace
} // namespace nerith::testing
