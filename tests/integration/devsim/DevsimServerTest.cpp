// nerith-devsim as a driver others share a machine with: only its user reaches its sockets,
// a client that never reads cannot hold up the others, and a frozen driver stops for real.
#include "DevsimProcess.h"
#include "DriverChannel.h"
#include "IspSession.h"
#include "platform/internal/device_wire.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>

namespace {

using nerith::test::DevsimProcess;
using Clock = std::chrono::steady_clock;
namespace wire = platform::devices::wire;

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0xFFFFu;
}

TEST(DevsimServer, FolderAndSocketsArePrivateWhateverTheUmask) {
    for (const mode_t umask : {mode_t{0}, mode_t{022}, mode_t{0777}}) {
        SCOPED_TRACE(umask);
        const mode_t previous = ::umask(umask);
        DevsimProcess devsim({}, DevsimProcess::FolderMadeBy::Simulator);
        ::umask(previous);
        ASSERT_TRUE(devsim.Running()) << devsim.Error();
        EXPECT_EQ(ModeOf(devsim.Folder()), 0700u);
        EXPECT_EQ(ModeOf(devsim.Folder() + "/korvel"), 0600u);
        EXPECT_EQ(ModeOf(devsim.Folder() + "/korvel.control"), 0600u);
    }
}

TEST(DevsimServer, FolderOthersMayWriteToIsRefused) {
    nerith::test::TempFolder root;
    const std::string folder = root.File("open");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    DevsimProcess devsim({"--dir=" + folder});
    EXPECT_FALSE(devsim.Running());
    struct stat st {};
    EXPECT_NE(::lstat((folder + "/korvel").c_str(), &st), 0) << "no socket in a folder others own";
}

// A raw connection to the device socket that sends requests and reads nothing.
class SilentReader {
public:
    explicit SilentReader(const std::string& path) : socket_(::socket(AF_UNIX, SOCK_SEQPACKET, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
        connected_ = ::connect(socket_.Get(), reinterpret_cast<const sockaddr*>(&address),
                               sizeof(address)) == 0;
    }
    bool Connected() const { return connected_; }

    // Sends version requests until the driver drops the connection; false when it never does.
    bool SendUntilDropped(std::chrono::seconds patience) {
        std::vector<std::uint8_t> input(100, 0);
        const auto request = wire::EncodeRequest(IOCTL_GET_FW_VERSION, input, 100);
        const auto deadline = Clock::now() + patience;
        while (Clock::now() < deadline) {
            if (::send(socket_.Get(), request.data(), request.size(),
                       MSG_NOSIGNAL | MSG_DONTWAIT) >= 0) {
                ++sent_;
                continue;
            }
            if (errno == EPIPE || errno == ECONNRESET) {
                return true;
            }
            pollfd entry{socket_.Get(), POLLOUT, 0};
            ::poll(&entry, 1, 100);
        }
        return false;
    }
    int Sent() const { return sent_; }

private:
    devsim::UniqueFd socket_;
    bool connected_ = false;
    int sent_ = 0;
};

bool VersionAnswered() {
    const HANDLE h = CreateFileA("\\\\.\\korvel", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return false;
    }
    BYTE reply[100] = {};
    DWORD returned = 0;
    const BOOL ok =
        DeviceIoControl(h, IOCTL_GET_FW_VERSION, reply, 100, reply, 100, &returned, nullptr);
    CloseHandle(h);
    return ok && reply[0] == 1 && reply[1] == 64;
}

TEST(DevsimServer, ClientThatNeverReadsHoldsUpNobodyAndIsDropped) {
    DevsimProcess devsim;
    ASSERT_TRUE(devsim.Running()) << devsim.Error();
    devsim.UseAsDeviceFolder();
    SilentReader silent(devsim.Folder() + "/korvel");
    ASSERT_TRUE(silent.Connected());
    EXPECT_TRUE(silent.SendUntilDropped(std::chrono::seconds(20)))
        << "still connected after " << silent.Sent() << " unread replies";
    EXPECT_GT(silent.Sent(), 64);
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(VersionAnswered()) << "request " << i;
    }
    EXPECT_EQ(devsim.Control("state").rfind("ok", 0), 0u) << "the control socket still answers";
}

// The driver hangs in the middle of programming: the stage fails once the request time-out
// has passed, the driver is really stopped, and it serves again when continued.
TEST(DevsimServer, DriverFrozenMidProgramFailsTheStageAfterTheTimeOut) {
    DevsimProcess devsim({"--image-version=1,63", "--fault=freeze-at:5"});
    ASSERT_TRUE(devsim.Running()) << devsim.Error();
    devsim.UseAsDeviceFolder();
    CIspSession session;
    session.m_strFilePath = NERITH_CARRIED_IMAGE;
    ASSERT_EQ(session.EnterIcpMode(), 1);
    ASSERT_EQ(session.OnBConnect(), 1);
    ASSERT_EQ(session.OnBLoadFile(), 1);
    ASSERT_EQ(session.OnBMasserase(), 1);

    const auto start = Clock::now();
    EXPECT_EQ(session.OnBProgram(), 0);
    const auto took = Clock::now() - start;
    EXPECT_TRUE(devsim.Stopped()) << "the driver froze";
    EXPECT_GE(took, std::chrono::milliseconds(wire::RequestTimeoutMs()));
    EXPECT_LE(took, std::chrono::milliseconds(wire::RequestTimeoutMs()) + std::chrono::seconds(5));

    ASSERT_EQ(::kill(devsim.Pid(), SIGCONT), 0);
    EXPECT_EQ(devsim.Count("program"), 6u) << "blocks 0..5 reached it, nothing after the stall";
    EXPECT_EQ(devsim.Stop(), 0);
}

} // namespace
