// What the platform promises about files on a shared machine: a created file is new and the
// caller's alone, planted links, FIFOs and other users' files are never written through, and
// folders where others can rename the caller's names are not used at all.
#include "ChildRun.h"
#include "TestFolder.h"

#include "platform/crt.h"
#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <ostream>
#include <string>

namespace {

constexpr char kOld[] = "old contents";
constexpr char kNew[] = "NEW";

HANDLE Create(const std::string& path, DWORD disposition, DWORD access = GENERIC_WRITE) {
    return CreateFileA(path.c_str(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// Opens, writes kNew at the start when a handle comes back, and closes.
ChildReport OpenAndWrite(const std::string& path, DWORD disposition) {
    HANDLE h = Create(path, disposition, GENERIC_READ | GENERIC_WRITE);
    ChildReport report{h != INVALID_HANDLE_VALUE, GetLastError(), 0};
    if (report.handleValid) {
        WriteFile(h, kNew, 3, &report.count, nullptr);
        CloseHandle(h);
    }
    return report;
}

enum class Folder { Private, Sticky };
enum class Entry { OwnFile, HardLink, Symlink, Fifo, OthersFile };

struct RuleCase {
    const char* name;
    Folder folder;
    Entry entry;
    DWORD disposition;
    DWORD error;           // ERROR_SUCCESS or ERROR_ALREADY_EXISTS when a handle comes back
    const char* nameHolds; // the file under the name afterwards; nullptr: the plant, unchanged
};

void PrintTo(const RuleCase& c, std::ostream* os) {
    *os << c.name;
}

// Private rows run as this process's user in a folder of its own. Sticky rows run as
// kVictimUid in a 1777 folder where kAttackerUid owns the plants; they need root.
const RuleCase kRules[] = {
    {"OwnFileCreateNew", Folder::Private, Entry::OwnFile, CREATE_NEW, ERROR_FILE_EXISTS, kOld},
    {"OwnFileCreateAlways", Folder::Private, Entry::OwnFile, CREATE_ALWAYS, ERROR_ALREADY_EXISTS,
     kNew},
    {"OwnFileOpenAlways", Folder::Private, Entry::OwnFile, OPEN_ALWAYS, ERROR_ALREADY_EXISTS,
     "NEW contents"},
    {"HardLinkCreateNew", Folder::Private, Entry::HardLink, CREATE_NEW, ERROR_FILE_EXISTS, kOld},
    {"HardLinkCreateAlways", Folder::Private, Entry::HardLink, CREATE_ALWAYS, ERROR_ALREADY_EXISTS,
     kNew},
    {"HardLinkOpenAlways", Folder::Private, Entry::HardLink, OPEN_ALWAYS, ERROR_ACCESS_DENIED,
     kOld},
    {"SymlinkCreateNew", Folder::Private, Entry::Symlink, CREATE_NEW, ERROR_FILE_EXISTS, nullptr},
    {"SymlinkCreateAlways", Folder::Private, Entry::Symlink, CREATE_ALWAYS, ERROR_ACCESS_DENIED,
     nullptr},
    {"SymlinkOpenAlways", Folder::Private, Entry::Symlink, OPEN_ALWAYS, ERROR_ACCESS_DENIED,
     nullptr},
    {"FifoCreateNew", Folder::Private, Entry::Fifo, CREATE_NEW, ERROR_FILE_EXISTS, nullptr},
    {"FifoCreateAlways", Folder::Private, Entry::Fifo, CREATE_ALWAYS, ERROR_ACCESS_DENIED, nullptr},
    {"FifoOpenAlways", Folder::Private, Entry::Fifo, OPEN_ALWAYS, ERROR_ACCESS_DENIED, nullptr},
    {"FifoOpenExisting", Folder::Private, Entry::Fifo, OPEN_EXISTING, ERROR_ACCESS_DENIED, nullptr},
    {"StickyOwnFileCreateAlways", Folder::Sticky, Entry::OwnFile, CREATE_ALWAYS,
     ERROR_ALREADY_EXISTS, kNew},
    {"StickyOwnFileOpenExisting", Folder::Sticky, Entry::OwnFile, OPEN_EXISTING, ERROR_SUCCESS,
     "NEW contents"},
    {"StickyOthersFileCreateNew", Folder::Sticky, Entry::OthersFile, CREATE_NEW, ERROR_FILE_EXISTS,
     kOld},
    {"StickyOthersFileCreateAlways", Folder::Sticky, Entry::OthersFile, CREATE_ALWAYS,
     ERROR_ACCESS_DENIED, kOld},
    {"StickyOthersFileOpenAlways", Folder::Sticky, Entry::OthersFile, OPEN_ALWAYS,
     ERROR_ACCESS_DENIED, kOld},
    {"StickyOthersFileOpenExisting", Folder::Sticky, Entry::OthersFile, OPEN_EXISTING,
     ERROR_ACCESS_DENIED, kOld},
    {"StickyOthersFileTruncateExisting", Folder::Sticky, Entry::OthersFile, TRUNCATE_EXISTING,
     ERROR_ACCESS_DENIED, kOld},
    {"StickyHardLinkCreateAlways", Folder::Sticky, Entry::HardLink, CREATE_ALWAYS,
     ERROR_ALREADY_EXISTS, kNew},
    {"StickyHardLinkOpenExisting", Folder::Sticky, Entry::HardLink, OPEN_EXISTING,
     ERROR_ACCESS_DENIED, kOld},
    {"StickySymlinkCreateAlways", Folder::Sticky, Entry::Symlink, CREATE_ALWAYS,
     ERROR_ACCESS_DENIED, nullptr},
    {"StickySymlinkOpenExisting", Folder::Sticky, Entry::Symlink, OPEN_EXISTING,
     ERROR_ACCESS_DENIED, nullptr},
};

class FileRules : public testing::TestWithParam<RuleCase> {
protected:
    void SetUp() override {
        const RuleCase& c = GetParam();
        sticky_ = c.folder == Folder::Sticky;
        if (sticky_ && !RunningAsRoot()) {
            GTEST_SKIP() << "acting as another user and planting its files needs root";
        }
        folder_ = sticky_ ? root_ / "shared" : root_.Path();
        if (sticky_) {
            ASSERT_TRUE(SetPermissionBits(root_.Path(), 0711));
            ASSERT_TRUE(MakeFolder(folder_));
            ASSERT_TRUE(SetPermissionBits(folder_, 01777));
        }
        path_ = folder_ + "/temp.s19";
        other_ = root_ / "victim-file";
        ASSERT_TRUE(WriteWholeFile(other_, kOld));
        ASSERT_TRUE(!sticky_ || GiveTo(other_, kVictimUid, kVictimUid));
        ASSERT_TRUE(Plant(c.entry));
    }

    bool Plant(Entry entry) {
        switch (entry) {
        case Entry::OwnFile:
            return WriteWholeFile(path_, kOld) &&
                   (!sticky_ || GiveTo(path_, kVictimUid, kVictimUid));
        case Entry::HardLink:
            return MakeHardLink(other_, path_);
        case Entry::Symlink:
            return MakeSymlink(other_, path_) &&
                   (!sticky_ || GiveTo(path_, kAttackerUid, kAttackerUid));
        case Entry::Fifo:
            return MakeFifo(path_);
        case Entry::OthersFile:
            return WriteWholeFile(path_, kOld) && SetPermissionBits(path_, 0666) &&
                   GiveTo(path_, kAttackerUid, kAttackerUid);
        }
        return false;
    }

    std::optional<ChildReport> Act(DWORD disposition) {
        const std::string path = path_;
        auto body = [path, disposition] { return OpenAndWrite(path, disposition); };
        if (!sticky_) {
            return body();
        }
        std::string ending;
        auto report = RunInChild({kVictimUid}, body, &ending);
        EXPECT_TRUE(report.has_value()) << "the victim's child " << ending;
        return report;
    }

    TestFolder root_;
    bool sticky_ = false;
    std::string folder_;
    std::string path_;
    std::string other_;
};

TEST_P(FileRules, PlantsAreNeverWrittenThroughAndOthersFilesNeverUsed) {
    const RuleCase& c = GetParam();
    const auto report = Act(c.disposition);
    ASSERT_TRUE(report);
    const bool opens = c.error == ERROR_SUCCESS || c.error == ERROR_ALREADY_EXISTS;
    EXPECT_EQ(report->handleValid, opens);
    EXPECT_EQ(report->error, c.error);
    EXPECT_EQ(ReadWholeFile(other_), kOld) << "the victim's other file changed";
    if (!c.nameHolds) {
        EXPECT_TRUE(c.entry == Entry::Symlink ? IsSymlink(path_) : Exists(path_));
        return;
    }
    EXPECT_EQ(ReadWholeFile(path_), c.nameHolds);
    if (std::string(c.nameHolds) == kNew) {
        // A replacement: a new file with one name, the actor's own, closed to everyone else.
        EXPECT_EQ(LinkCount(path_), 1);
        EXPECT_EQ(OwnerOf(path_),
                  sticky_ ? static_cast<long long>(kVictimUid) : OwnerOf(root_.Path()));
        EXPECT_EQ(PermissionBits(path_), 0600);
    }
}

INSTANTIATE_TEST_SUITE_P(File, FileRules, testing::ValuesIn(kRules),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileRules, CreatedFilesAreModeSixHundredWhateverTheUmask) {
    for (int mask : {0, 022, 077, 0277, 0777}) {
        for (DWORD disposition : {CREATE_NEW, CREATE_ALWAYS, OPEN_ALWAYS}) {
            SCOPED_TRACE(testing::Message() << "umask " << mask << ", disposition " << disposition);
            TestFolder folder;
            const std::string path = folder / "temp.s19";
            const ScopedUmask umask(mask);
            HANDLE h = Create(path, disposition);
            ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
            DWORD written = 0;
            EXPECT_TRUE(WriteFile(h, kOld, 12, &written, nullptr));
            EXPECT_TRUE(CloseHandle(h));
            EXPECT_EQ(PermissionBits(path), 0600);
            EXPECT_EQ(ReadWholeFile(path), kOld);
        }
    }
    // An existing file's looser mode does not carry over to its replacement.
    TestFolder folder;
    const std::string path = folder / "temp.s19";
    ASSERT_TRUE(WriteWholeFile(path, kOld));
    ASSERT_TRUE(SetPermissionBits(path, 0666));
    HANDLE h = Create(path, CREATE_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_EQ(PermissionBits(path), 0600);
}

struct FolderCase {
    const char* name;
    int mode;
    int owner; // -1: the test's own user
    int group; // -1: the test's own group
    bool usable;
};

// Rows that hand the folder to another owner or group need root. Root's group holds nobody
// else on Debian: a user-private group.
const FolderCase kFolders[] = {
    {"Own0700", 0700, -1, -1, true},
    {"Own0755", 0755, -1, -1, true},
    {"Own0777", 0777, -1, -1, false},
    {"Own0757", 0757, -1, -1, false},
    {"Own1777", 01777, -1, -1, true},
    {"OwnPrivateGroup0770", 0770, -1, 0, true},
    {"SharedGroup0775", 0775, -1, 100, false},
    {"SharedGroupSticky1775", 01775, -1, 100, true},
    {"OtherUsers0755", 0755, 65534, 65534, false},
    {"OtherUsersSticky1777", 01777, 65534, 65534, false},
};

void PrintTo(const FolderCase& c, std::ostream* os) {
    *os << c.name;
}

class FolderRules : public testing::TestWithParam<FolderCase> {};

TEST_P(FolderRules, OnlyFoldersNobodyElseCanRenameInAreUsed) {
    const FolderCase& c = GetParam();
    const bool handedOver = c.owner >= 0 || c.group >= 0;
    if (handedOver && !RunningAsRoot()) {
        GTEST_SKIP() << "only root can give a folder to another owner or group";
    }
    TestFolder root;
    const std::string folder = root / "temp";
    ASSERT_TRUE(MakeFolder(folder));
    const std::string existing = folder + "/existing.s19";
    ASSERT_TRUE(WriteWholeFile(existing, kOld));
    if (handedOver) {
        const long long me = OwnerOf(root.Path());
        ASSERT_TRUE(GiveTo(folder, static_cast<unsigned>(c.owner >= 0 ? c.owner : me),
                           static_cast<unsigned>(c.group >= 0 ? c.group : me)));
    }
    ASSERT_TRUE(SetPermissionBits(folder, c.mode));
    const DWORD expected = c.usable ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;

    SetLastError(0xDEAD);
    HANDLE created = Create(folder + "/temp.s19", CREATE_ALWAYS);
    EXPECT_EQ(created != INVALID_HANDLE_VALUE, c.usable);
    EXPECT_EQ(GetLastError(), expected);
    EXPECT_EQ(Exists(folder + "/temp.s19"), c.usable);
    if (created != INVALID_HANDLE_VALUE) {
        CloseHandle(created);
    }
    HANDLE opened = Create(existing, OPEN_EXISTING, GENERIC_READ);
    EXPECT_EQ(opened != INVALID_HANDLE_VALUE, c.usable);
    EXPECT_EQ(GetLastError(), expected);
    if (opened != INVALID_HANDLE_VALUE) {
        CloseHandle(opened);
    }
    std::FILE* stream = fopen(existing.c_str(), "r");
    EXPECT_EQ(stream != nullptr, c.usable);
    if (stream) {
        std::fclose(stream);
    } else {
        EXPECT_EQ(errno, EACCES);
    }
}

INSTANTIATE_TEST_SUITE_P(File, FolderRules, testing::ValuesIn(kFolders),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileRules, AnAccessListGivingAnotherUserWriteMakesTheFolderShared) {
    TestFolder root;
    const std::string folder = root / "temp";
    ASSERT_TRUE(MakeFolder(folder));
    ASSERT_TRUE(SetPermissionBits(folder, 0755));
    if (!GrantWriteByAccessList(folder, 65534)) {
        GTEST_SKIP() << "this file system keeps no access lists";
    }
    SetLastError(0);
    EXPECT_EQ(Create(folder + "/temp.s19", CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(Exists(folder + "/temp.s19"));
}

TEST(FileRules, StreamsReadOnlyTheCallersOwnFilesInASharedFolder) {
    if (!RunningAsRoot()) {
        GTEST_SKIP() << "acting as another user needs root";
    }
    TestFolder root;
    ASSERT_TRUE(SetPermissionBits(root.Path(), 0711));
    const std::string shared = root / "shared";
    ASSERT_TRUE(MakeFolder(shared));
    ASSERT_TRUE(SetPermissionBits(shared, 01777));
    const std::string own = shared + "/own.s19";
    const std::string others = shared + "/others.s19";
    const std::string link = shared + "/link.s19";
    ASSERT_TRUE(WriteWholeFile(own, kOld) && GiveTo(own, kVictimUid, kVictimUid));
    ASSERT_TRUE(WriteWholeFile(others, kOld) && SetPermissionBits(others, 0644) &&
                GiveTo(others, kAttackerUid, kAttackerUid));
    ASSERT_TRUE(MakeSymlink(own, link) && GiveTo(link, kAttackerUid, kAttackerUid));
    struct Case {
        std::string path;
        bool opens;
    };
    for (const Case& c : {Case{own, true}, Case{others, false}, Case{link, false}}) {
        SCOPED_TRACE(c.path);
        std::string ending;
        const auto report = RunInChild(
            {kVictimUid},
            [&c] {
                std::FILE* stream = fopen(c.path.c_str(), "r");
                const ChildReport report{stream != nullptr, static_cast<DWORD>(errno), 0};
                if (stream) {
                    std::fclose(stream);
                }
                return report;
            },
            &ending);
        ASSERT_TRUE(report) << ending;
        EXPECT_EQ(report->handleValid, c.opens);
        if (!c.opens) {
            EXPECT_NE(report->error, 0u);
        }
    }
}

TEST(FileRules, StreamModesMapToDispositions) {
    TestFolder folder;
    const std::string path = folder / "stream.txt";
    struct Case {
        const char* mode;
        bool opens;
        int error;
        const char* after; // the file's content after writing "NEW" (when opened for writing)
    };
    const Case cases[] = {
        {"r", true, 0, kOld},        {"rb", true, 0, kOld},      {"r+", true, 0, "NEW contents"},
        {"w", true, 0, kNew},        {"wb+", true, 0, kNew},     {"a", true, 0, "old contentsNEW"},
        {"wx", false, EEXIST, kOld}, {"q", false, EINVAL, kOld},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ASSERT_TRUE(WriteWholeFile(path, kOld));
        std::FILE* stream = fopen(path.c_str(), c.mode);
        EXPECT_EQ(stream != nullptr, c.opens);
        if (stream) {
            std::fputs(kNew, stream);
            std::fclose(stream);
        } else {
            EXPECT_EQ(errno, c.error);
        }
        EXPECT_EQ(ReadWholeFile(path), c.after);
    }
}

} // namespace
