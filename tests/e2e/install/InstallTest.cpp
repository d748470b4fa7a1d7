// The package as a fresh machine gets it: built by cpack from this build, unpacked into a
// scratch root with dpkg-deb, and run from there. Nothing of the build tree is used after the
// unpacking but the test's own helpers.
#include "PatchSRecordBytes.h"

#include "CarriedImage.h"
#include "DevsimControl.h"
#include "DevsimProcess.h"
#include "UpdaterSession.h"
#include "x11/X11TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace nerith::install_test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Run in ctest's own test process; returns standard output, or nullopt with the reason.
std::optional<std::string> RunTool(const std::vector<std::string>& argv, std::string* error) {
    testing::ProcessOptions options;
    options.argv = argv;
    auto process = testing::ChildProcess::Start(options, error);
    if (!process) {
        return std::nullopt;
    }
    const auto status = process->Wait(90s);
    if (status != 0) {
        *error = argv[0] + " failed: " + process->Stderr() + process->Stdout();
        process->Terminate();
        return std::nullopt;
    }
    return process->Stdout();
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

bool StartsWith(const fs::path& file, const std::string& magic) {
    return ReadText(file).rfind(magic, 0) == 0;
}

std::string DesktopKey(const std::string& entry, const std::string& key) {
    std::istringstream lines(entry);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return "";
}

// One package for all tests of this process: cpack runs once.
class InstalledPackage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        work_ = new test::TempFolder();
        std::string error;
        const auto built =
            RunTool({NERITH_CPACK, "-G", "DEB", "-B", work_->File("package"), "--config",
                     std::string(NERITH_BUILD_DIR) + "/CPackConfig.cmake"},
                    &error);
        for (const auto& entry : fs::directory_iterator(work_->File("package"), ec_)) {
            if (entry.path().extension() == ".deb") {
                deb_ = entry.path().string();
            }
        }
        if (!built || deb_.empty()) {
            problem_ = "cpack made no package: " + error;
            return;
        }
        if (!RunTool({"dpkg-deb", "-x", deb_, work_->File("root")}, &error)) {
            problem_ = error;
        }
    }
    static void TearDownTestSuite() {
        delete work_;
        work_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(problem_.empty()) << problem_; }

    static fs::path Root() { return work_->File("root"); }
    static std::string Field(const std::string& name) {
        std::string error;
        const auto value = RunTool({"dpkg-deb", "-f", deb_, name}, &error);
        return value ? *value : "";
    }

    static test::TempFolder* work_;
    static std::string deb_;
    static std::string problem_;
    static std::error_code ec_;
};

test::TempFolder* InstalledPackage::work_ = nullptr;
std::string InstalledPackage::deb_;
std::string InstalledPackage::problem_;
std::error_code InstalledPackage::ec_;

TEST_F(InstalledPackage, IsNamedAndDependsOnTheLibrariesItLinksAndTheFonts) {
    EXPECT_EQ(Field("Package"), "nerith-update\n");
    EXPECT_EQ(Field("Architecture"), "amd64\n");
    const std::string depends = Field("Depends");
    for (const char* package : {"libx11-6", "libxext6", "libjpeg62-turbo", "libfreetype6",
                                "libfontconfig1", "fonts-dejavu-core", "libstdc++6", "libc6"}) {
        EXPECT_NE(depends.find(package), std::string::npos) << package << " in " << depends;
    }
}

TEST_F(InstalledPackage, PutsEveryFileWhereItIsLookedFor) {
    const struct {
        const char* path;
        const char* magic; // the first bytes, "" when any
        bool executable;
    } files[] = {
        {"usr/bin/nerith-update", "#!/bin/sh", true},
        {"usr/bin/nerith-devsim",
         "\x7f"
         "ELF",
         true},
        {"usr/lib/nerith-update/nerith-update",
         "\x7f"
         "ELF",
         true},
        {"usr/lib/nerith-update/libISPdll.so",
         "\x7f"
         "ELF",
         false},
        {"usr/lib/nerith-update/skins/ridozuveza.dll", "MZ", false},
        {"usr/share/nerith-update/firmware.s19", "S0", false},
        {"usr/share/applications/nerith-update.desktop", "[Desktop Entry]", false},
        {"usr/share/icons/hicolor/16x16/apps/nerith-update.png", "\x89PNG", false},
        {"usr/share/icons/hicolor/32x32/apps/nerith-update.png", "\x89PNG", false},
        {"usr/share/icons/hicolor/48x48/apps/nerith-update.png", "\x89PNG", false},
        {"usr/share/man/man1/nerith-update.1.gz", "\x1f\x8b", false},
        {"usr/share/man/man1/nerith-devsim.1.gz", "\x1f\x8b", false},
    };
    for (const auto& file : files) {
        const fs::path path = Root() / file.path;
        ASSERT_TRUE(fs::is_regular_file(path)) << file.path;
        EXPECT_TRUE(StartsWith(path, file.magic)) << file.path;
        const bool executable =
            (fs::status(path).permissions() & fs::perms::owner_exec) != fs::perms::none;
        EXPECT_EQ(executable, file.executable) << file.path;
    }
}

TEST_F(InstalledPackage, TheDesktopEntryStartsTheLauncherWithTheInstalledIcon) {
    const std::string entry = ReadText(Root() / "usr/share/applications/nerith-update.desktop");
    EXPECT_EQ(DesktopKey(entry, "Type"), "Application");
    EXPECT_FALSE(DesktopKey(entry, "Name").empty());
    const std::string exec = DesktopKey(entry, "Exec");
    EXPECT_TRUE(fs::exists(Root() / "usr/bin" / exec)) << exec;
    const std::string icon = DesktopKey(entry, "Icon");
    EXPECT_TRUE(fs::exists(Root() / "usr/share/icons/hicolor/48x48/apps" / (icon + ".png")))
        << icon;
}

TEST_F(InstalledPackage, TheInstalledUpdaterUpdatesTheInstalledSimulatedDevice) {
    if (!testing::XvfbServer::Available()) {
        GTEST_SKIP() << "Xvfb is not installed";
    }
    const fs::path image = Root() / "usr/share/nerith-update/firmware.s19";
    const auto older = PatchSRecordBytes(ReadText(image), 0xDE00, {1, 63});
    ASSERT_TRUE(older) << "the installed image has no version bytes";
    const std::string olderFile = work_->File("older.s19");
    std::ofstream(olderFile, std::ios::binary) << *older;
    const std::string devices = work_->File("devices");
    const std::string temp = work_->File("temp");
    fs::create_directories(temp);

    testing::ProcessOptions device;
    device.argv = {(Root() / "usr/bin/nerith-devsim").string(), "--dir=" + devices,
                   "--flash=" + olderFile};
    std::string error;
    auto devsim = testing::ChildProcess::Start(device, &error);
    ASSERT_TRUE(devsim) << error;
    ASSERT_TRUE(demo::WaitForDevsim(devices, 10000)) << devsim->Stderr();
    ASSERT_NE(demo::DevsimCommand(devices, "state").find("1,63"), std::string::npos);

    auto xvfb = testing::XvfbServer::Start({}, &error);
    ASSERT_TRUE(xvfb) << error;
    auto x = testing::XSession::Open(xvfb->DisplayName());
    ASSERT_TRUE(x);
    demo::ScreenRecognizer recognizer;
    ASSERT_TRUE(
        recognizer.Load((Root() / "usr/lib/nerith-update/skins/ridozuveza.dll").string(), &error))
        << error;
    demo::UpdaterEnvironment environment;
    environment.program = (Root() / "usr/bin/nerith-update").string();
    environment.display = xvfb->DisplayName();
    environment.deviceDir = devices;
    environment.temp = temp;
    environment.timeScale = "0.01";
    auto updater = demo::UpdaterSession::Start(*x, recognizer, environment, &error);
    ASSERT_TRUE(updater) << error;
    updater->ParkPointer();
    const auto main = updater->WaitFor(demo::Screen::Main, 20s);
    ASSERT_TRUE(main) << "the launcher's process shows no main window: "
                      << updater->Process().Stderr();
    updater->ClickOk(*main);
    updater->ParkPointer();
    const auto notice = updater->WaitForChange(demo::Screen::Main, 60s);
    ASSERT_TRUE(notice) << updater->Process().Stderr();
    EXPECT_EQ(notice->screen, demo::Screen::Success) << demo::UpdaterSession::Describe(notice);
    updater->ClickOk(*notice);
    EXPECT_EQ(updater->Process().Wait(10s), 0);

    const auto reference = demo::ReferenceFlash1("srec_cat", image.string(), work_->Path(), &error);
    ASSERT_FALSE(reference.empty()) << error;
    const auto flash = demo::Flash1Of(demo::DumpDevsimFlash(devices, work_->File("flash.bin")));
    EXPECT_TRUE(flash == reference) << "Flash #1 does not hold the installed image";
    EXPECT_EQ(demo::DevsimCommand(devices, "replug").rfind("ok", 0), 0u);
    EXPECT_NE(demo::DevsimCommand(devices, "state").find("1,64"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(temp)) << "temp.s19 is left behind";
}

} // namespace
} // namespace nerith::install_test
