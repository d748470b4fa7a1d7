// The real nerith-update in a hostile environment: a TEMP it cannot write or that has a link
// planted in it, a TEMP at the edge of the path buffer, a device folder that does not exist,
// and a skin library that is missing, not a library at all, full of broken pictures, with a
// mask that hides the window or pictures of absurd size. Each ends in a clear message or the
// failure notice, never a crash, never a write through the link, never a window that cannot
// be read or used.
#include "UpdateFixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace nerith::e2e {
namespace {

namespace fs = std::filesystem;

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

class HostileTest : public UpdateTest {
protected:
    // A folder under `base` whose path is exactly `length` characters long.
    static std::string FolderOfLength(const std::string& base, std::size_t length) {
        std::string path = base;
        while (path.size() < length) {
            const std::size_t room = length - path.size() - 1;
            path +=
                "/" + std::string(std::max<std::size_t>(1, std::min<std::size_t>(200, room)), 'd');
        }
        fs::create_directories(path);
        return path;
    }
};

TEST_F(HostileTest, TempThatCannotBeWrittenShowsTheMessageBoxThenTheFailureNotice) {
    const std::string notAFolder = temp_->File("plain-file");
    std::ofstream(notAFolder) << "not a folder";
    // Root may write anywhere on disk, but not into /proc.
    for (const std::string& temp : {notAFolder, std::string("/proc")}) {
        SCOPED_TRACE(temp);
        StartDevice({"--image-version=1,63"});
        ASSERT_FALSE(HasFatalFailure());
        StartUpdater(temp);
        ASSERT_FALSE(HasFatalFailure());
        ExpectMessageBoxThenFailure();
        ASSERT_FALSE(HasFailure());
    }
    EXPECT_EQ(Contents(notAFolder), "not a folder");
}

TEST_F(HostileTest, LinkPlantedAtTheFileNameIsNeverWrittenThrough) {
    const std::string victim = temp_->File("victim");
    std::ofstream(victim) << "precious";
    const std::string folder = temp_->File("temp");
    fs::create_directory(folder);
    fs::create_symlink(victim, folder + "/temp.s19");
    StartDevice({"--image-version=1,63"});
    ASSERT_FALSE(HasFatalFailure());
    StartUpdater(folder);
    ASSERT_FALSE(HasFatalFailure());
    ExpectMessageBoxThenFailure();
    EXPECT_EQ(Contents(victim), "precious");
    EXPECT_TRUE(fs::is_symlink(folder + "/temp.s19")) << "someone else's link is left alone";
}

// "%TEMP%\temp.s19" with its terminator needs the folder's length + 10 of the 260 characters:
// 250 still fits and the update runs; 251 does not, and nothing may be written anywhere.
TEST_F(HostileTest, TempAtTheEdgeOfThePathBuffer) {
    struct Case {
        std::size_t length;
        Screen notice;
    };
    for (const Case& c : {Case{250, Screen::Success}, Case{251, Screen::Failure}}) {
        SCOPED_TRACE(c.length);
        const std::string folder = FolderOfLength(temp_->File("edge"), c.length);
        ASSERT_EQ(folder.size(), c.length);
        StartDevice({"--image-version=1,63"});
        ASSERT_FALSE(HasFatalFailure());
        StartUpdater(folder);
        ASSERT_FALSE(HasFatalFailure());
        const View main = WaitFor(Screen::Main);
        ASSERT_FALSE(HasFailure());
        ASSERT_TRUE(updater_->ClickOk(main));
        const View notice = WaitFor(c.notice);
        ASSERT_FALSE(HasFailure());
        ExpectExitAfterOk(notice);
        EXPECT_EQ(DeviceCount("enter_icp"), c.notice == Screen::Success ? 1u : 0u);
        for (const auto& entry : fs::recursive_directory_iterator(temp_->Path())) {
            EXPECT_FALSE(entry.is_regular_file()) << entry.path();
        }
        fs::remove_all(temp_->File("edge"));
    }
}

TEST_F(HostileTest, DeviceFolderThatDoesNotExistEndsInTheFailureNotice) {
    deviceDir_ = temp_->File("no-such-folder");
    StartUpdater();
    ASSERT_FALSE(HasFatalFailure());
    const View main = WaitFor(Screen::Main);
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(updater_->ClickOk(main));
    const View notice = WaitFor(Screen::Failure);
    ASSERT_FALSE(HasFailure());
    ExpectExitAfterOk(notice);
    EXPECT_TRUE(TempFiles().empty());
    EXPECT_FALSE(fs::exists(deviceDir_));
}

std::size_t Colours(const testing::Image& image) {
    return std::set<std::uint32_t>(image.pixels.begin(), image.pixels.end()).size();
}

// The updater copied into a folder of its own, with the skin library as the case gives it.
class BrokenSkinTest : public UpdateTest {
protected:
    std::string InstallWithSkin(const std::string& name, const std::string& skinLibrary) {
        const std::string dir = temp_->File(name);
        fs::create_directories(dir + "/skins");
        const fs::path updater(NERITH_UPDATER_PATH);
        fs::copy_file(updater, dir + "/nerith-update");
        fs::copy_file(updater.parent_path() / "libISPdll.so", dir + "/libISPdll.so");
        if (!skinLibrary.empty()) {
            fs::copy_file(skinLibrary, dir + "/skins/ridozuveza.dll");
        }
        return dir + "/nerith-update";
    }

    void StartInstalled(const std::string& program, const std::string& deviceDir) {
        demo::UpdaterEnvironment environment;
        environment.program = program;
        environment.display = server_->DisplayName();
        environment.deviceDir = deviceDir;
        environment.temp = temp_->Path();
        environment.timeScale = "0.01";
        std::string error;
        updater_ = demo::UpdaterSession::Start(*session_, *recognizer_, environment, &error);
        ASSERT_NE(updater_, nullptr) << error;
        updater_->ParkPointer();
    }

    // The updater's top window once it is another than `previous`, drawn and holding still;
    // a window of one colour says nothing and does not count.
    std::optional<View> WaitForSettled(testing::XId previous) {
        std::optional<View> last;
        const bool settled = testing::WaitFor(
            [&] {
                std::optional<View> now = updater_->Current();
                const bool same = now && last && now->window == last->window &&
                                  now->shot.pixels == last->shot.pixels;
                last = now;
                return same && now->window != previous && Colours(now->shot) > 2;
            },
            kScreenTimeout);
        if (!settled) {
            ADD_FAILURE() << "no new window settled; updater stderr:\n" << UpdaterStderr();
            return std::nullopt;
        }
        return last;
    }

    // Clicks OK where the layout of `screen` puts it on the window.
    void ClickOkAs(View view, Screen screen) {
        view.screen = screen;
        ASSERT_TRUE(updater_->ClickOk(view));
    }

    // Main window, OK, the notice, its OK and a clean exit; returns the notice as shown.
    std::optional<View> RunToNotice(const std::string& program, const std::string& deviceDir) {
        StartInstalled(program, deviceDir);
        const std::optional<View> main = HasFatalFailure() ? std::nullopt : WaitForSettled(0);
        if (!main) {
            return std::nullopt;
        }
        EXPECT_EQ(main->shot.width, 380);
        EXPECT_EQ(main->shot.height, 280);
        ClickOkAs(*main, Screen::Main);
        std::optional<View> notice =
            HasFatalFailure() ? std::nullopt : WaitForSettled(main->window);
        if (!notice) {
            return std::nullopt;
        }
        EXPECT_FALSE(notice->shot.pixels == main->shot.pixels);
        ClickOkAs(*notice, Screen::Failure);
        if (HasFatalFailure()) {
            return std::nullopt;
        }
        EXPECT_EQ(updater_->Process().Wait(kExitTimeout), 0) << UpdaterStderr();
        return notice;
    }

    void ExpectShownAndClosable(const std::string& program) {
        StartInstalled(program, temp_->File("no-device"));
        ASSERT_FALSE(HasFatalFailure());
        const std::optional<View> shown = WaitForSettled(0);
        ASSERT_TRUE(shown.has_value());
        EXPECT_EQ(shown->shot.width, 380);
        EXPECT_EQ(shown->shot.height, 280);
        const std::array<long, 5> remove{
            static_cast<long>(session_->InternAtom("WM_DELETE_WINDOW")), 0, 0, 0, 0};
        ASSERT_TRUE(session_->SendClientMessage(shown->window, "WM_PROTOCOLS", remove));
        EXPECT_EQ(updater_->Process().Wait(kExitTimeout), 0) << UpdaterStderr();
    }
};

TEST_F(BrokenSkinTest, WindowShowsPlaceholdersAndCanBeClosed) {
    const std::string notALibrary = temp_->File("not-a-library.dll");
    std::ofstream(notALibrary) << std::string(4096, 'M');
    struct Case {
        const char* name;
        std::string library;
    };
    const Case cases[] = {
        {"missing", ""},
        {"not a library", notALibrary},
        // Truncated and garbage JPEGs, a picture of another size and a small mask.
        {"broken pictures", NERITH_BROKEN_SKIN_DLL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectShownAndClosable(InstallWithSkin(c.name, c.library));
        updater_.reset();
    }
}

// Without its skin the updater still says how the update went: the notices of success and of
// failure differ, and each one's OK ends the program.
TEST_F(BrokenSkinTest, WithoutTheSkinSuccessAndFailureStillLookDifferent) {
    const std::string program = InstallWithSkin("missing", "");
    StartDevice({"--image-version=1,63"});
    ASSERT_FALSE(HasFatalFailure());
    const std::optional<View> success = RunToNotice(program, deviceDir_);
    ASSERT_TRUE(success.has_value());
    EXPECT_EQ(DeviceCount("enter_icp"), 1u);
    EXPECT_NE(Flash(), initialFlash_) << "the success notice must follow a real update";
    updater_.reset();

    StartDevice({"--image-version=1,63", "--fault=erase"});
    ASSERT_FALSE(HasFatalFailure());
    const std::optional<View> failure = RunToNotice(program, deviceDir_);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(success->shot.width, failure->shot.width);
    EXPECT_FALSE(success->shot.pixels == failure->shot.pixels)
        << "success and failure look the same";
}

// A mask that is white all over or half the pictures' size, and a mask and backgrounds that
// claim 16384 x 16384 pixels: the window keeps its size and its buttons, OK leads to the
// failure notice (there is no device) and its OK ends the program.
TEST_F(BrokenSkinTest, MasksThatHideTheWindowAndHugePicturesLeaveItUsable) {
    for (const char* name : {"white-mask", "half-mask", "huge"}) {
        SCOPED_TRACE(name);
        const std::string program = InstallWithSkin(
            name, std::string(NERITH_FIXTURE_SKINS) + "/skin-" + name + "/skins/ridozuveza.dll");
        const std::optional<View> notice = RunToNotice(program, temp_->File("no-device"));
        ASSERT_TRUE(notice.has_value());
        EXPECT_EQ(notice->shot.width, 380);
        updater_.reset();
    }
}

} // namespace
} // namespace nerith::e2e
