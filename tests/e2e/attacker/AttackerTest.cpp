// A shared machine with a hostile second user. The victim runs the real nerith-update (and
// its nerith-devsim) under one user id; the attacker is a real process under another that
// plants, rewrites or renames at the temporary file's name. Whatever it does, the update
// either programs exactly the carried image or stops at "Couldn't create the file!" before
// the device leaves its firmware; the victim's own files stay as they were, and nothing of
// the victim's is left in the temporary folder.
#include "CarriedImage.h"
#include "OtherUser.h"
#include "UpdateFixture.h"
#include "VictimDevice.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>

namespace nerith::e2e {
namespace {

namespace fs = std::filesystem;

const OtherUser kVictim(61001);
const OtherUser kAttacker(61002);

constexpr char kVictimNotes[] = "the victim's own words\n";

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// A valid image that is not the carried one: four 32-byte records of 0x5A at 0x7000.
std::string AttackersImage() {
    std::string text = "S0030000FC\r\n";
    for (unsigned address = 0x7000; address < 0x7080; address += 32) {
        const unsigned sum = 35 + (address >> 8) + (address & 0xFF) + 32 * 0x5A;
        char head[16];
        std::snprintf(head, sizeof head, "S123%04X", address);
        text += head;
        for (int i = 0; i < 32; ++i) {
            text += "5A";
        }
        char checksum[8];
        std::snprintf(checksum, sizeof checksum, "%02X\r\n", ~sum & 0xFF);
        text += checksum;
    }
    return text + "S9030000FC\r\n";
}

long long OwnerOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_uid) : -1;
}

class AttackerTest : public UpdateTest {
protected:
    void SetUp() override {
        const std::string why = OtherUser::WhyUnavailable();
        if (!why.empty()) {
            GTEST_SKIP() << why;
        }
        UpdateTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        // Both users reach what they are given by name, and list nothing else.
        fs::permissions(temp_->Path(), fs::perms(0711));
        victimHome_ = MakeFolder("victim", kVictim, 0700);
        notes_ = victimHome_ + "/notes.txt";
        std::ofstream(notes_) << kVictimNotes;
        ASSERT_TRUE(kVictim.Give(notes_, 0644));
        attackersImage_ = temp_->File("attacker.s19");
        std::ofstream(attackersImage_, std::ios::binary) << AttackersImage();
        fs::permissions(attackersImage_, fs::perms(0644));
        sharedTemp_ = MakeFolder("shared", std::nullopt, 01777);
        openTemp_ = MakeFolder("open", std::nullopt, 0777);
        ASSERT_FALSE(HasFailure());
    }

    void TearDown() override {
        attackers_.clear();
        UpdateTest::TearDown();
        device_.reset();
    }

    std::string MakeFolder(const std::string& name, const std::optional<OtherUser>& owner,
                           int mode) {
        std::string path = temp_->File(name);
        fs::create_directory(path);
        if (owner) {
            EXPECT_TRUE(owner->Give(path, mode)) << path;
        } else {
            EXPECT_EQ(::chmod(path.c_str(), static_cast<mode_t>(mode)), 0) << path;
        }
        return path;
    }

    // A fresh device one version behind, served by the victim.
    void StartVictimDevice() {
        device_.reset();
        const std::string folder = temp_->File("device");
        fs::remove_all(folder);
        MakeFolder("device", kVictim, 0700);
        device_ = std::make_unique<VictimDevice>(kVictim, folder,
                                                 std::vector<std::string>{"--image-version=1,63"});
        ASSERT_TRUE(device_->Running()) << device_->Error();
        initialFlash_ = device_->DumpFlash();
        ASSERT_EQ(initialFlash_.size(), 0x10000u);
    }

    // `prefix` runs before the updater, as the victim (prlimit, for example). The updater
    // starts with SIGXFSZ as a login shell leaves it, not as this test process (whose
    // platform ignores it) would pass it on.
    void StartVictimUpdater(const std::string& temp, std::vector<std::string> prefix = {}) {
        const std::string launcher = temp_->File("nerith-update-as-victim");
        std::vector<std::string> command = {"/usr/bin/env", "--default-signal=XFSZ",
                                            "HOME=" + victimHome_};
        command.insert(command.end(), prefix.begin(), prefix.end());
        command.emplace_back(NERITH_UPDATER_PATH);
        ASSERT_TRUE(WriteLauncher(launcher, kVictim.Command(command)));
        demo::UpdaterEnvironment environment;
        environment.program = launcher;
        environment.display = server_->DisplayName();
        environment.deviceDir = device_->Folder();
        environment.temp = temp;
        environment.timeScale = "0.01";
        std::string error;
        updater_ = demo::UpdaterSession::Start(*session_, *recognizer_, environment, &error);
        ASSERT_NE(updater_, nullptr) << error;
        updater_->ParkPointer();
    }

    // The watching modes say "ready" first; the planting ones end once planted.
    testing::ChildProcess& StartAttacker(const std::vector<std::string>& arguments) {
        std::vector<std::string> command = {NERITH_ATTACKER_PATH};
        command.insert(command.end(), arguments.begin(), arguments.end());
        testing::ProcessOptions options;
        options.argv = kAttacker.Command(command);
        std::string error;
        attackers_.push_back(testing::ChildProcess::Start(options, &error));
        testing::ChildProcess* attacker = attackers_.back().get();
        EXPECT_NE(attacker, nullptr) << error;
        const bool watching = arguments[0] == "rewrite" || arguments[0] == "rename";
        const bool ready =
            attacker &&
            testing::WaitFor(
                [&] { return watching ? attacker->Stdout() == "ready\n" : !attacker->Running(); },
                10s);
        EXPECT_TRUE(ready) << "attacker " << arguments[0] << ": " << attacker->Stderr();
        if (!watching && attacker) {
            EXPECT_EQ(attacker->Wait(0ms), 0) << "the attacker could not plant";
        }
        return *attacker;
    }

    // OK on the main window, then whichever way the run ends: the message box and the failure
    // notice with the device never in programming mode, or a notice checked against the flash.
    Screen RunToTheEnd() {
        const View main = WaitFor(Screen::Main);
        if (main.screen != Screen::Main || !updater_->ClickOk(main)) {
            ADD_FAILURE() << "no main window to press OK on";
            return Screen::Unknown;
        }
        updater_->ParkPointer();
        const std::optional<View> next = updater_->WaitForChange(Screen::Main, kScreenTimeout);
        if (!next) {
            ADD_FAILURE() << "the run ended without a notice: "
                          << demo::UpdaterSession::Describe(updater_->Current()) << "\n"
                          << UpdaterStderr();
            return Screen::Unknown;
        }
        if (next->screen != Screen::MessageBox) {
            ExpectExitAfterOk(*next);
            if (next->screen == Screen::Success) {
                EXPECT_EQ(demo::Flash1Of(device_->DumpFlash()), ReferenceFlash1())
                    << "the success notice shows, but the flash holds something else";
            }
            return next->screen;
        }
        EXPECT_TRUE(updater_->TapKey("Return"));
        const View failure = WaitFor(Screen::Failure);
        if (failure.screen == Screen::Failure) {
            ExpectExitAfterOk(failure);
        }
        EXPECT_EQ(device_->Count("enter_icp"), 0u);
        EXPECT_EQ(device_->DumpFlash(), initialFlash_);
        return Screen::MessageBox;
    }

    void ExpectVictimLeftNothing(const std::string& folder) {
        EXPECT_EQ(Contents(notes_), kVictimNotes);
        for (const auto& entry : fs::directory_iterator(folder)) {
            EXPECT_NE(OwnerOf(entry.path()), kVictim.Uid()) << entry.path() << " was left behind";
        }
    }

    std::unique_ptr<VictimDevice> device_;
    std::vector<std::unique_ptr<testing::ChildProcess>> attackers_;
    std::string victimHome_;
    std::string notes_;
    std::string attackersImage_;
    std::string sharedTemp_;
    std::string openTemp_;
};

TEST_F(AttackerTest, FilePlantedInAStickyTempIsNeverTheVictims) {
    StartVictimDevice();
    ASSERT_FALSE(HasFatalFailure());
    testing::ChildProcess& attacker =
        StartAttacker({"rewrite", sharedTemp_, attackersImage_, "--plant"});
    ASSERT_FALSE(HasFatalFailure());
    StartVictimUpdater(sharedTemp_);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(RunToTheEnd(), Screen::MessageBox);
    EXPECT_EQ(Contents(sharedTemp_ + "/temp.s19"), "") << "the victim wrote into the plant";
    EXPECT_EQ(attacker.Stdout(), "ready\n");
    ExpectVictimLeftNothing(sharedTemp_);
}

TEST_F(AttackerTest, VictimsFileInAStickyTempCanBeNeitherRewrittenNorRenamedOver) {
    for (const char* mode : {"rewrite", "rename"}) {
        SCOPED_TRACE(mode);
        StartVictimDevice();
        ASSERT_FALSE(HasFatalFailure());
        testing::ChildProcess& attacker = StartAttacker({mode, sharedTemp_, attackersImage_});
        ASSERT_FALSE(HasFatalFailure());
        StartVictimUpdater(sharedTemp_);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_EQ(RunToTheEnd(), Screen::Success);
        EXPECT_EQ(attacker.Stdout(), "ready\n") << "the attacker got through";
        ExpectVictimLeftNothing(sharedTemp_);
        attackers_.clear();
        updater_.reset();
    }
}

TEST_F(AttackerTest, WorldWritableTempWithoutTheStickyBitIsRefused) {
    StartVictimDevice();
    ASSERT_FALSE(HasFatalFailure());
    testing::ChildProcess& attacker = StartAttacker({"rename", openTemp_, attackersImage_});
    ASSERT_FALSE(HasFatalFailure());
    StartVictimUpdater(openTemp_);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(RunToTheEnd(), Screen::MessageBox);
    EXPECT_EQ(attacker.Stdout(), "ready\n") << "the attacker got through";
    ExpectVictimLeftNothing(openTemp_);
}

TEST_F(AttackerTest, LinksAndFifosPlantedInAStickyTempAreNeverWrittenThrough) {
    const std::string name = sharedTemp_ + "/temp.s19";
    struct Case {
        const char* name;
        std::function<void()> plant;
        Screen ending;
        std::function<bool()> plantIntact;
    };
    const Case cases[] = {
        // The kernel's protected_hardlinks keeps the attacker itself from linking the
        // victim's file; root plants the link in its place.
        {"hard link to the victim's file",
         [&] { ASSERT_EQ(::link(notes_.c_str(), name.c_str()), 0); }, Screen::Success,
         [&] { return fs::hard_link_count(notes_) == 1 && !fs::exists(name); }},
        {"symlink to /dev/zero",
         [&] {
             StartAttacker({"symlink", sharedTemp_, "/dev/zero"});
         },
         Screen::MessageBox,
         [&] { return fs::is_symlink(name) && fs::read_symlink(name) == "/dev/zero"; }},
        {"FIFO",
         [&] {
             StartAttacker({"fifo", sharedTemp_});
         },
         Screen::MessageBox, [&] { return fs::is_fifo(fs::symlink_status(name)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartVictimDevice();
        ASSERT_FALSE(HasFatalFailure());
        c.plant();
        ASSERT_FALSE(HasFatalFailure());
        StartVictimUpdater(sharedTemp_);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_EQ(RunToTheEnd(), c.ending);
        EXPECT_TRUE(c.plantIntact());
        ExpectVictimLeftNothing(sharedTemp_);
        updater_.reset();
        fs::remove(name);
    }
}

// The image is 46,970 bytes; the limit stops its write a third of the way.
TEST_F(AttackerTest, FileSizeLimitEndsInTheFailureNoticeWithoutAPartialFile) {
    const std::string privateTemp = MakeFolder("victim/temp", kVictim, 0700);
    StartVictimDevice();
    ASSERT_FALSE(HasFatalFailure());
    StartVictimUpdater(privateTemp, {"/usr/bin/prlimit", "--fsize=16384", "--"});
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(RunToTheEnd(), Screen::Failure);
    EXPECT_EQ(device_->Count("enter_icp"), 0u);
    EXPECT_EQ(device_->DumpFlash(), initialFlash_);
    EXPECT_TRUE(fs::is_empty(privateTemp)) << "a partial temp.s19 was left behind";
}

} // namespace
} // namespace nerith::e2e
