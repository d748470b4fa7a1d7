// Only a driver of this user or root, in a folder nobody else can write to, answers a device
// name: a planted folder, link or socket is refused before anything is sent.
#include "DevsimProcess.h"
#include "RogueDriver.h"
#include "ScriptedDriver.h"
#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using nerith::test::DriverCall;
using nerith::test::DriverReply;
using nerith::test::RogueDriver;
using nerith::test::ScriptedDriver;
using nerith::test::TempFolder;

constexpr DWORD kPingCode = CTL_CODE(FILE_DEVICE_UNKNOWN, 0x801, METHOD_BUFFERED, FILE_ANY_ACCESS);

HANDLE OpenKorvel() {
    return CreateFileA("\\\\.\\korvel", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

// The open fails with `expected`, and no handle is left over.
void ExpectOpenRefused(DWORD expected) {
    SetLastError(0);
    const HANDLE h = OpenKorvel();
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), expected);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
    }
}

bool Ping(HANDLE h) {
    DWORD returned = 0;
    return DeviceIoControl(h, kPingCode, nullptr, 0, nullptr, 0, &returned, nullptr) != FALSE;
}

void UseDeviceFolder(const std::string& path) {
    ::setenv("NERITH_DEVICE_DIR", path.c_str(), 1);
}

class DeviceTrust : public ::testing::Test {
protected:
    // A private folder serving korvel, in a parent of the test's own.
    void SetUp() override {
        served_ = root_.File("served");
        fs::create_directory(served_);
        fs::permissions(served_, fs::perms::owner_all, fs::perm_options::replace);
        driver_ = std::make_unique<ScriptedDriver>(served_, "korvel",
                                                   [](DriverCall&) { return DriverReply::Ok(); });
        ASSERT_TRUE(driver_->Listening());
    }

    // Whatever refused the open, the driver was never even connected to: a trusted open that
    // follows is the first connection it accepts.
    void ExpectNeverConnected() {
        fs::permissions(served_, fs::perms::owner_all, fs::perm_options::replace);
        UseDeviceFolder(served_);
        const HANDLE h = OpenKorvel();
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(Ping(h));
        CloseHandle(h);
        EXPECT_EQ(driver_->Connections(), 1u);
    }

    TempFolder root_;
    std::string served_;
    std::unique_ptr<ScriptedDriver> driver_;
};

TEST_F(DeviceTrust, PrivateFolderOfThisUserIsTrustedWithOrWithoutATrailingSlash) {
    for (const std::string& path : {served_, served_ + "/", served_ + "//"}) {
        UseDeviceFolder(path);
        const HANDLE h = OpenKorvel();
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
        EXPECT_TRUE(Ping(h)) << path;
        CloseHandle(h);
    }
}

TEST_F(DeviceTrust, FolderOthersMayWriteToIsRefused) {
    const fs::perms modes[] = {
        fs::perms::owner_all | fs::perms::group_write,
        fs::perms::owner_all | fs::perms::group_all,
        fs::perms::owner_all | fs::perms::others_write | fs::perms::others_exec,
        fs::perms::all,
        fs::perms::all | fs::perms::sticky_bit, // like /tmp: others may still plant a socket
    };
    UseDeviceFolder(served_);
    for (const fs::perms mode : modes) {
        SCOPED_TRACE(static_cast<int>(mode));
        fs::permissions(served_, mode, fs::perm_options::replace);
        ExpectOpenRefused(ERROR_ACCESS_DENIED);
    }
    ExpectNeverConnected();
}

TEST_F(DeviceTrust, FolderThatIsALinkOrNotAFolderIsRefused) {
    const std::string link = root_.File("link");
    fs::create_directory_symlink(served_, link);
    const std::string file = root_.File("file");
    std::ofstream(file) << "not a folder";
    for (const std::string& path : {link, link + "/", file}) {
        SCOPED_TRACE(path);
        UseDeviceFolder(path);
        ExpectOpenRefused(ERROR_ACCESS_DENIED);
    }
    ExpectNeverConnected();
}

TEST_F(DeviceTrust, MissingFolderIsNotFound) {
    UseDeviceFolder(root_.File("missing"));
    ExpectOpenRefused(ERROR_FILE_NOT_FOUND);
    UseDeviceFolder(root_.File("file-as-parent/korvel-folder"));
    std::ofstream(root_.File("file-as-parent")) << "x";
    ExpectOpenRefused(ERROR_FILE_NOT_FOUND);
}

TEST_F(DeviceTrust, FolderOfAnotherUserIsRefused) {
    const std::string why = nerith::test::WhyNoOtherUser();
    if (!why.empty()) {
        GTEST_SKIP() << why;
    }
    UseDeviceFolder(served_);
    ASSERT_EQ(::chown(served_.c_str(), nerith::test::kOtherUid, nerith::test::kOtherGid), 0);
    ExpectOpenRefused(ERROR_ACCESS_DENIED);
    ASSERT_EQ(::chown(served_.c_str(), ::geteuid(), ::getegid()), 0);
    ExpectNeverConnected();
}

// The folder is ours, but the socket in it is served by another user's process: the
// connection is dropped before a byte is sent.
TEST(DeviceTrustPeer, DriverOfAnotherUserIsRefusedAndSentNothing) {
    const std::string why = nerith::test::WhyNoOtherUser();
    if (!why.empty()) {
        GTEST_SKIP() << why;
    }
    TempFolder root;
    fs::permissions(root.Path(),
                    fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::replace);
    const std::string theirs = root.File("theirs");
    fs::create_directory(theirs);
    ASSERT_EQ(::chown(theirs.c_str(), nerith::test::kOtherUid, nerith::test::kOtherGid), 0);
    RogueDriver rogue(theirs, {}, RogueDriver::As::OtherUser);
    ASSERT_TRUE(rogue.Listening()) << rogue.Error();
    const std::string ours = root.File("ours");
    fs::create_directory(ours);
    fs::permissions(ours, fs::perms::owner_all, fs::perm_options::replace);
    fs::rename(theirs + "/korvel", ours + "/korvel");
    UseDeviceFolder(ours);

    ExpectOpenRefused(ERROR_ACCESS_DENIED);
    EXPECT_EQ(rogue.Count("request"), 0);
    EXPECT_EQ(rogue.Count("descriptor"), 0);
}

} // namespace
