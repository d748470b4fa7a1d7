// A device namespace planted by another user: the updater refuses it before it sends a thing.
// OK ends in the failure notice, and the rogue sees no registration and gets no descriptor.
#include "RogueDriver.h"
#include "UpdateFixture.h"

#include <unistd.h>

#include <filesystem>

namespace nerith::e2e {
namespace {

namespace fs = std::filesystem;
using test::RogueDriver;

enum class Plant { FolderOfTheirs, SocketOfTheirs, WorldWritable, GroupWritable, Symlink };

struct PlantCase {
    const char* name;
    Plant plant;
};

void PrintTo(const PlantCase& c, std::ostream* out) {
    *out << c.name;
}

bool GiveAway(const std::string& path, bool user, bool group) {
    const uid_t uid = user ? test::kOtherUid : ::geteuid();
    const gid_t gid = group ? test::kOtherGid : ::getegid();
    return ::chown(path.c_str(), uid, gid) == 0;
}

class PlantedDriverTest : public UpdateTest, public ::testing::WithParamInterface<PlantCase> {
protected:
    void SetUp() override {
        const std::string why = test::WhyNoOtherUser();
        if (!why.empty()) {
            GTEST_SKIP() << why;
        }
        UpdateTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        // The other user must reach the folders below.
        fs::permissions(root_.Path(),
                        fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    }

    std::string MakeFolder(const std::string& name, fs::perms mode, bool theirs, bool group) {
        std::string path = root_.File(name);
        fs::create_directory(path);
        fs::permissions(path, mode, fs::perm_options::replace);
        EXPECT_TRUE(GiveAway(path, theirs, group)) << path;
        return path;
    }

    // Lays out the case's device folder with the rogue serving korvel in it; returns the
    // folder the updater is pointed at.
    std::string PlantNamespace(Plant plant) {
        const fs::perms privateMode = fs::perms::owner_all;
        switch (plant) {
        case Plant::FolderOfTheirs:
            return StartRogueIn(MakeFolder("dev", privateMode, true, true));
        case Plant::SocketOfTheirs: {
            const std::string theirs = StartRogueIn(MakeFolder("theirs", privateMode, true, true));
            std::string ours = MakeFolder("dev", privateMode, false, false);
            fs::rename(theirs + "/korvel", ours + "/korvel");
            return ours;
        }
        case Plant::WorldWritable:
            return StartRogueIn(MakeFolder("dev", fs::perms::all, false, false));
        case Plant::GroupWritable:
            return StartRogueIn(MakeFolder("dev", privateMode | fs::perms::group_all, false, true));
        case Plant::Symlink: {
            const std::string theirs = StartRogueIn(MakeFolder("theirs", privateMode, true, true));
            fs::create_directory_symlink(theirs, root_.File("dev"));
            return root_.File("dev");
        }
        }
        return {};
    }

    std::string StartRogueIn(const std::string& folder) {
        rogue_ = std::make_unique<RogueDriver>(folder, std::vector<std::string>{},
                                               RogueDriver::As::OtherUser);
        EXPECT_TRUE(rogue_->Listening()) << rogue_->Error();
        return folder;
    }

    test::TempFolder root_;
    std::unique_ptr<RogueDriver> rogue_;
};

TEST_P(PlantedDriverTest, IsRefusedAndHandedNothing) {
    deviceDir_ = PlantNamespace(GetParam().plant);
    ASSERT_FALSE(HasFailure());
    StartUpdater();
    ASSERT_FALSE(HasFatalFailure());
    const View main = WaitFor(Screen::Main);
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(updater_->ClickOk(main));
    const View notice = WaitFor(Screen::Failure);
    ASSERT_FALSE(HasFailure());
    ExpectExitAfterOk(notice);
    EXPECT_TRUE(TempFiles().empty());
    EXPECT_EQ(rogue_->Count("request"), 0) << "the rogue was asked something";
    EXPECT_EQ(rogue_->Count("descriptor"), 0) << "the rogue was handed the semaphore";
}

INSTANTIATE_TEST_SUITE_P(
    Plants, PlantedDriverTest,
    ::testing::Values(PlantCase{"FolderOfAnotherUser", Plant::FolderOfTheirs},
                      PlantCase{"SocketServedByAnotherUser", Plant::SocketOfTheirs},
                      PlantCase{"WorldWritableFolder", Plant::WorldWritable},
                      PlantCase{"GroupWritableFolder", Plant::GroupWritable},
                      PlantCase{"SymlinkedFolder", Plant::Symlink}),
    [](const ::testing::TestParamInfo<PlantCase>& info) { return info.param.name; });

// The same rogue in a folder of this user's own is answered: the refusals above are the
// checks at work, not a rogue that cannot be reached.
TEST_F(PlantedDriverTest, SameRogueInAPrivateFolderOfOursIsAnswered) {
    const std::string folder = MakeFolder("dev", fs::perms::owner_all, false, false);
    rogue_ = std::make_unique<RogueDriver>(folder, std::vector<std::string>{},
                                           RogueDriver::As::ThisUser);
    ASSERT_TRUE(rogue_->Listening()) << rogue_->Error();
    deviceDir_ = folder;
    StartUpdater();
    ASSERT_FALSE(HasFatalFailure());
    WaitFor(Screen::Main);
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(rogue_->Count("request 0x222400"), 1);
    EXPECT_EQ(rogue_->Count("descriptor"), 1);
}

} // namespace
} // namespace nerith::e2e
