// The Windows build of the updater (nerith-update.exe, ISPdll.dll, skins\ridozuveza.dll) under
// Wine, on a private Xvfb with no window manager: where it appears and with what shape, what
// it shows compared with the Linux build's screenshots, its buttons' pictures, the system menu
// and the About box, and the failure notice with no device. One prefix serves every case,
// as booting one takes half a minute.
#include "SkinPixels.h"
#include "WinePrefix.h"
#include "x11/X11TestSupport.h"

#include <filesystem>
#include <functional>
#include <set>
#include <sstream>

namespace nerith::e2e {

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr const char* kTitle = "Nerith updater";
constexpr const char* kFolder = "C:\\nerith";
constexpr const char* kTempFolder = "nerith-temp"; // in C:\, the prefix's TEMP
// Client rectangles of the main window and of the notice's OK button.
constexpr RECT kOk{187, 231, 217, 248};
constexpr RECT kBackground{145, 175, 155, 185};
constexpr RECT kBar{24, 90, 356, 134};
constexpr RECT kNoticeOk{224, 229, 249, 244};
constexpr const char* kNoSkinFolder = "nerith-noskin"; // in C:\, the Windows build
constexpr const char* kLinuxFolder = "nerith-linux";   // in C:\, the Linux build
// The skin-less main window's heading box and buttons, in client coordinates, and its colours.
constexpr RECT kHeading{16, 24, 364, 140};
constexpr RECT kCancel{257, 231, 301, 248};
constexpr std::uint32_t kPlaceholderBackground = 0x3A4452;
constexpr std::uint32_t kPlaceholderText = 0xF2F2F2;

struct Session {
    std::unique_ptr<testing::XvfbServer> xvfb;
    std::unique_ptr<testing::XSession> x;
    std::unique_ptr<testing::WinePrefix> prefix;
    std::string error;
};

Session* session = nullptr;

class WineUpdaterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        session = new Session;
        session->xvfb = testing::XvfbServer::Start({}, &session->error);
        if (!session->xvfb) {
            return;
        }
        session->x = testing::XSession::Open(session->xvfb->DisplayName());
        session->prefix =
            testing::WinePrefix::Create(session->xvfb->DisplayName(), &session->error);
        if (!session->prefix || !InstallUpdater()) {
            session->prefix.reset();
        }
    }

    static void TearDownTestSuite() {
        delete session;
        session = nullptr;
    }

    // The three files in their folders, as the zip holds them; TEMP a folder of its own.
    static bool InstallUpdater() {
        const fs::path bin = NERITH_WINDOWS_BIN;
        const fs::path app = session->prefix->DriveC() + "/nerith";
        std::error_code failed;
        fs::create_directories(app / "skins", failed);
        fs::create_directories(session->prefix->DriveC() + "/" + kTempFolder, failed);
        for (const char* file : {"nerith-update.exe", "ISPdll.dll", "skins/ridozuveza.dll"}) {
            fs::copy_file(bin / file, app / file, fs::copy_options::overwrite_existing, failed);
            if (failed) {
                session->error = (bin / file).string() + ": " + failed.message() +
                                 " (build the windows-x64 preset first)";
                return false;
            }
        }
        return session->prefix->SetUserEnvironment("TEMP", std::string("C:\\") + kTempFolder) &&
               session->prefix->SetUserEnvironment("TMP", std::string("C:\\") + kTempFolder);
    }

    void SetUp() override {
        ASSERT_TRUE(session->xvfb && session->x && session->prefix) << session->error;
        input_ = std::make_unique<testing::XTestDriver>(*session->x);
        ASSERT_TRUE(input_->Available());
        mask_ = SkinMask();
        ASSERT_FALSE(mask_.Empty());
    }

    void TearDown() override {
        if (updater_ && updater_->Running()) {
            updater_->Terminate();
        }
        if (main_) {
            testing::WaitUntilHidden(*session->x, main_, 10s);
        }
    }

    testing::XSession& X() { return *session->x; }

    void StartUpdater(const std::string& folder = kFolder) {
        std::string error;
        updater_ =
            session->prefix->Start({folder + "\\nerith-update.exe"},
                                   session->prefix->DriveC() + "/" + folder.substr(3), &error);
        ASSERT_TRUE(updater_) << error;
        const auto main = testing::WaitForMappedWindow(X(), kTitle, 60s);
        ASSERT_TRUE(main) << "no main window; the updater wrote: " << updater_->Stderr();
        main_ = *main;
    }

    RECT MainRect() { return X().Geometry(main_).value_or(RECT{}); }

    POINT ScreenAt(RECT window, RECT clientRect) {
        return POINT{window.left + 1 + (clientRect.left + clientRect.right) / 2,
                     window.top + 1 + (clientRect.top + clientRect.bottom) / 2};
    }

    // A click on the window, and what a window manager does on one: WM_TAKE_FOCUS. Without a
    // window manager Wine never takes the X keyboard by itself, and ignores keys it gets
    // through the pointer-root focus.
    bool GiveKeyboard(testing::XId window) {
        input_->Click(ScreenAt(X().Geometry(window).value_or(RECT{}), kBar));
        X().SendClientMessage(window, "WM_PROTOCOLS",
                              {static_cast<long>(X().InternAtom("WM_TAKE_FOCUS")), 0, 0, 0, 0});
        return testing::WaitFor([&]() { return X().KeyboardFocus() == window; }, 5s);
    }

    std::optional<testing::XId> WaitForPopup(std::chrono::milliseconds timeout = 20s) {
        std::optional<testing::XId> popup;
        testing::WaitFor(
            [&]() {
                for (const testing::XId w : testing::TopLevelWindows(X())) {
                    const RECT r = X().Geometry(w).value_or(RECT{});
                    if (w != main_ && X().IsMapped(w) && r.right - r.left == mask_.width &&
                        r.bottom - r.top == mask_.height) {
                        popup = w;
                        return true;
                    }
                }
                return false;
            },
            timeout);
        return popup;
    }

    testing::Image Shown(testing::XId window) {
        return testing::CaptureScreen(X(), X().Geometry(window).value_or(RECT{}));
    }

    ::testing::AssertionResult ShapedLikeTheMask(testing::XId window) {
        return ShapeFollowsTheMask(X().ShapeRects(window, testing::ShapeKind::Bounding), mask_);
    }

    // The window shows, wherever the mask keeps it and `compared` says, the pixels of the
    // Linux build's screenshot of the same screen.
    ::testing::AssertionResult LooksLikeScreenshot(testing::XId window, const std::string& file,
                                                   const Compared& compared = Everywhere) {
        std::string error;
        const auto shot =
            testing::ReadPng(std::string(NERITH_SCREENSHOTS_DIR) + "/" + file, &error);
        if (!shot) {
            return ::testing::AssertionFailure() << error;
        }
        return e2e::LooksLikeScreenshot(Shown(window), mask_, *shot, compared);
    }

    bool WaitUntilLooksLike(testing::XId window, const std::string& file,
                            const Compared& compared = Everywhere) {
        return testing::WaitFor([&]() { return LooksLikeScreenshot(window, file, compared); }, 5s);
    }

    // The program's files without the skin, in a folder of the prefix so it goes with it.
    static ::testing::AssertionResult InstallWithoutSkin(const char* folder,
                                                         std::initializer_list<fs::path> files,
                                                         const fs::path& bin) {
        const fs::path app = session->prefix->DriveC() + "/" + folder;
        std::error_code failed;
        fs::create_directories(app, failed);
        for (const fs::path& file : files) {
            const fs::path from = file.is_absolute() ? file : bin / file;
            fs::copy_file(from, app / from.filename(), fs::copy_options::overwrite_existing,
                          failed);
            if (failed) {
                return ::testing::AssertionFailure() << from << ": " << failed.message();
            }
        }
        return ::testing::AssertionSuccess();
    }

    // The Linux build's main window without its skin, once drawn and holding still; empty when
    // it never shows one.
    testing::Image LinuxPlaceholderMain() {
        if (!InstallWithoutSkin(kLinuxFolder, {NERITH_LINUX_UPDATER, NERITH_LINUX_ISPDLL}, {})) {
            return {};
        }
        const std::string drive = session->prefix->DriveC();
        testing::ProcessOptions options;
        options.argv = {drive + "/" + kLinuxFolder + "/" +
                        fs::path(NERITH_LINUX_UPDATER).filename().string()};
        options.setEnv = {{"DISPLAY", session->xvfb->DisplayName()},
                          {"NERITH_DISPLAY", "x11"},
                          {"NERITH_DEVICE_DIR", drive + "/no-device"},
                          {"TEMP", drive + "/" + kTempFolder}};
        auto program = testing::ChildProcess::Start(options);
        const auto window = program ? testing::WaitForMappedWindow(X(), kTitle, 20s) : std::nullopt;
        testing::Image settled;
        if (window) {
            testing::Image last;
            testing::WaitFor(
                [&]() {
                    testing::Image now = Shown(*window);
                    const bool same = !now.Empty() && now.pixels == last.pixels;
                    last = std::move(now);
                    return same && Colours(last) > 2;
                },
                10s);
            if (Colours(last) > 2) {
                settled = last;
            }
        }
        if (program) {
            program->Terminate();
        }
        if (window) {
            testing::WaitUntilHidden(X(), *window, 10s);
        }
        return settled;
    }

    static std::size_t Colours(const testing::Image& image) {
        return std::set<std::uint32_t>(image.pixels.begin(), image.pixels.end()).size();
    }

    // The placeholder's colours where it draws no text: the Linux build's pixel for pixel, and
    // its background and button frames where they are known to be.
    static ::testing::AssertionResult ShowsPlaceholder(const testing::Image& shown,
                                                       const testing::Image& onLinux) {
        if (shown.width != onLinux.width || shown.height != onLinux.height) {
            return ::testing::AssertionFailure()
                   << "window of " << shown.width << "x" << shown.height << ", " << onLinux.width
                   << "x" << onLinux.height << " on Linux";
        }
        struct Known {
            POINT at; // window coordinates
            std::uint32_t colour;
        };
        const Known known[] = {{{6, 6}, kPlaceholderBackground},
                               {{190, 150}, kPlaceholderBackground},
                               {{370, 270}, kPlaceholderBackground},
                               {{kOk.left + 1, kOk.top + 5}, kPlaceholderText},
                               {{kCancel.right, kCancel.top + 1}, kPlaceholderText}};
        std::ostringstream wrong;
        wrong << std::hex;
        for (const Known& k : known) {
            const std::uint32_t here = shown.At(k.at.x, k.at.y);
            const std::uint32_t there = onLinux.At(k.at.x, k.at.y);
            if (here != k.colour || there != k.colour) {
                wrong << "; window pixel (" << std::dec << k.at.x << ", " << k.at.y << ") is 0x"
                      << std::hex << here << ", 0x" << there << " on Linux, not 0x" << k.colour;
            }
        }
        int differences = 0;
        int compared = 0;
        for (int y = 0; y < shown.height; ++y) {
            for (int x = 0; x < shown.width; ++x) {
                if (InPlaceholderText(x, y)) {
                    continue;
                }
                ++compared;
                differences += shown.At(x, y) != onLinux.At(x, y) ? 1 : 0;
            }
        }
        if (differences > 0 || !wrong.str().empty()) {
            return ::testing::AssertionFailure()
                   << differences << " of " << compared << " pixels outside the text differ"
                   << wrong.str();
        }
        return ::testing::AssertionSuccess();
    }

    // The heading's box and the buttons inside their frames: the two builds' fonts differ.
    static bool InPlaceholderText(int x, int y) {
        const POINT client{x - 1, y - 1};
        const RECT boxes[] = {
            kHeading,
            {kOk.left + 1, kOk.top + 1, kOk.right - 1, kOk.bottom - 1},
            {kCancel.left + 1, kCancel.top + 1, kCancel.right - 1, kCancel.bottom - 1}};
        for (const RECT& r : boxes) {
            if (client.x >= r.left && client.x < r.right && client.y >= r.top &&
                client.y < r.bottom) {
                return true;
            }
        }
        return false;
    }

    std::unique_ptr<testing::XTestDriver> input_;
    std::unique_ptr<testing::ChildProcess> updater_;
    testing::Image mask_;
    testing::XId main_ = 0;
};

// What the failure case checks of TEMP is worth something only if the programs use it.
TEST_F(WineUpdaterTest, ProgramsGetThePrefixsTemp) {
    std::string error;
    auto shell =
        session->prefix->Start({"cmd", "/c", "echo %TEMP%"}, session->prefix->DriveC(), &error);
    ASSERT_TRUE(shell) << error;
    ASSERT_EQ(shell->Wait(60s), 0);
    EXPECT_NE(shell->Stdout().find(std::string("C:\\") + kTempFolder), std::string::npos)
        << shell->Stdout();
}

TEST_F(WineUpdaterTest, TheMainWindowIsCentredAndShapedLikeTheMask) {
    StartUpdater();
    ASSERT_NE(main_, 0u);
    const RECT rect = MainRect();
    const RECT screen = X().ScreenRect();
    EXPECT_EQ(rect.right - rect.left, 380);
    EXPECT_EQ(rect.bottom - rect.top, 280);
    EXPECT_EQ(rect.left, (screen.right - 380) / 2);
    EXPECT_EQ(rect.top, (screen.bottom - 280) / 2);
    EXPECT_TRUE(ShapedLikeTheMask(main_));
}

// The progress bar's edge included: both sides give a dialog's bordered control the 3-D look.
TEST_F(WineUpdaterTest, TheMainWindowShowsWhatTheLinuxBuildShows) {
    StartUpdater();
    ASSERT_NE(main_, 0u);
    EXPECT_TRUE(WaitUntilLooksLike(main_, "main-window.png"))
        << LooksLikeScreenshot(main_, "main-window.png").message();
}

TEST_F(WineUpdaterTest, HoverAndPressShowTheButtonsStatePictures) {
    StartUpdater();
    ASSERT_NE(main_, 0u);
    const RECT rect = MainRect();
    const POINT ok = ScreenAt(rect, kOk);
    input_->MovePointer(ok);
    const RECT okInWindow{kOk.left + 1, kOk.top + 1, kOk.right + 1, kOk.bottom + 1};
    EXPECT_TRUE(testing::WaitFor(
        [&]() {
            return !testing::FirstDifference(testing::Crop(Shown(main_), okInWindow),
                                             testing::Crop(SkinPicture("1018"), kOk));
        },
        5s))
        << "no hover picture";
    input_->ButtonDown();
    EXPECT_TRUE(testing::WaitFor(
        [&]() {
            return !testing::FirstDifference(testing::Crop(Shown(main_), okInWindow),
                                             testing::Crop(SkinPicture("1016"), kOk));
        },
        5s))
        << "no pressed picture";
    // Released away from the button: no click.
    input_->MovePointer(ScreenAt(rect, kBackground));
    input_->ButtonUp();
    EXPECT_FALSE(WaitForPopup(1s)) << "a press released off the button clicked it";
}

// Esc and Enter reach the window, which has the keyboard, and are swallowed; closing it
// from outside ends the program. (Alt+Space opens nothing here: the window has no WS_SYSMENU,
// see tests/KNOWN_DIFFERENCES.md.)
TEST_F(WineUpdaterTest, EscAndEnterAreSwallowedAndClosingEndsTheProgram) {
    StartUpdater();
    ASSERT_NE(main_, 0u);
    ASSERT_TRUE(GiveKeyboard(main_)) << "Wine's window never had the keyboard";
    input_->TapKey("Escape");
    input_->TapKey("Return");
    EXPECT_FALSE(updater_->Wait(1s)) << "a key ended the program";
    EXPECT_TRUE(X().IsMapped(main_));
    X().SendClientMessage(main_, "WM_PROTOCOLS",
                          {static_cast<long>(X().InternAtom("WM_DELETE_WINDOW")), 0, 0, 0, 0});
    EXPECT_EQ(updater_->Wait(20s), 0);
}

TEST_F(WineUpdaterTest, OkWithoutADeviceShowsTheFailureNoticeAndOkOnItEndsCleanly) {
    StartUpdater();
    ASSERT_NE(main_, 0u);
    input_->Click(ScreenAt(MainRect(), kOk));
    const auto notice = WaitForPopup();
    ASSERT_TRUE(notice) << "no failure notice; the updater wrote: " << updater_->Stderr();
    EXPECT_TRUE(WaitUntilLooksLike(*notice, "failure-notice.png"))
        << LooksLikeScreenshot(*notice, "failure-notice.png").message();
    input_->Click(ScreenAt(X().Geometry(*notice).value_or(RECT{}), kNoticeOk));
    EXPECT_EQ(updater_->Wait(20s), 0);
    EXPECT_EQ(session->prefix->FilesOn(kTempFolder), std::vector<std::string>{});
}

// Without skins\ridozuveza.dll both builds draw the placeholder; a bitmap made monochrome
// would turn its colours to black and white on Windows only.
TEST_F(WineUpdaterTest, WithoutTheSkinThePlaceholderShowsInTheLinuxBuildsColours) {
    const testing::Image onLinux = LinuxPlaceholderMain();
    ASSERT_FALSE(onLinux.Empty()) << "the Linux build showed no settled main window";
    ASSERT_TRUE(
        InstallWithoutSkin(kNoSkinFolder, {"nerith-update.exe", "ISPdll.dll"}, NERITH_WINDOWS_BIN));
    StartUpdater(std::string("C:\\") + kNoSkinFolder);
    ASSERT_NE(main_, 0u);
    EXPECT_TRUE(testing::WaitFor([&]() { return ShowsPlaceholder(Shown(main_), onLinux); }, 5s))
        << ShowsPlaceholder(Shown(main_), onLinux).message();
}

} // namespace

} // namespace nerith::e2e
