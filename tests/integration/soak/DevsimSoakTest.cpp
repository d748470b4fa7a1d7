// One nerith-devsim serving a long run of short connections, as updaters started one after
// another would make them: its memory, descriptors and threads must stay flat.
#include "DevsimProcess.h"
#include "DriverChannel.h"
#include "ProcessFigures.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <optional>

namespace {

using nerith::test::DevsimProcess;
using nerith::test::ProcessFigures;

constexpr int kWarmUpCycles = 50;
constexpr int kCycles = 1000;
// Allocator pages that a long-lived process touches late; a per-cycle leak of even 64 bytes
// would add more than this over the run.
constexpr long kResidentSlackKiB = 48;

// Connect, register the event semaphore, ask for the version, disconnect: 1 when every step
// succeeded and the version is the image's.
bool Cycle(HANDLE hSemaphore) {
    const HANDLE hDevice = CreateFileA("\\\\.\\korvel", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (hDevice == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD dwReturned = 0;
    BOOL bOk = DeviceIoControl(hDevice, IOCTL_REGISTER_SEMAPHORE, &hSemaphore, 4, nullptr, 0,
                               &dwReturned, nullptr);
    BYTE reply[100] = {};
    bOk = bOk && DeviceIoControl(hDevice, IOCTL_GET_FW_VERSION, reply, sizeof(reply), reply,
                                 sizeof(reply), &dwReturned, nullptr);
    const BOOL bClosed = CloseHandle(hDevice);
    return bOk && bClosed && reply[0] == 1 && reply[1] == 64;
}

// The simulator notices a closed connection in its next round of polling; two control round
// trips make sure it has handled every close before its figures are read.
std::optional<ProcessFigures> SettledFigures(DevsimProcess& devsim, int pid) {
    devsim.Control("state");
    devsim.Control("state");
    return nerith::test::ReadProcessFigures(pid);
}

int CyclesThatFailed(HANDLE hSemaphore, int cycles) {
    int failed = 0;
    for (int i = 0; i < cycles; ++i) {
        failed += Cycle(hSemaphore) ? 0 : 1;
    }
    return failed;
}

TEST(DevsimSoak, ThousandConnectionsLeaveMemoryDescriptorsAndThreadsFlat) {
    DevsimProcess devsim;
    ASSERT_TRUE(devsim.Running()) << devsim.Error();
    devsim.UseAsDeviceFolder();
    const int pid = nerith::test::ServerPid(devsim.Folder() + "/korvel.control");
    ASSERT_GT(pid, 0);
    const HANDLE hSemaphore = CreateSemaphoreA(nullptr, 0, 100, nullptr);
    ASSERT_NE(hSemaphore, nullptr);

    ASSERT_EQ(CyclesThatFailed(hSemaphore, kWarmUpCycles), 0);
    const auto first = SettledFigures(devsim, pid);
    const auto ownFirst = nerith::test::ReadProcessFigures(static_cast<int>(getpid()));
    ASSERT_TRUE(first && ownFirst);

    EXPECT_EQ(CyclesThatFailed(hSemaphore, kCycles), 0);
    const auto last = SettledFigures(devsim, pid);
    const auto ownLast = nerith::test::ReadProcessFigures(static_cast<int>(getpid()));
    ASSERT_TRUE(last && ownLast);
    std::printf("nerith-devsim after %d cycles: %s\n", kWarmUpCycles,
                nerith::test::Describe(*first).c_str());
    std::printf("nerith-devsim after %d more:   %s\n", kCycles,
                nerith::test::Describe(*last).c_str());

    EXPECT_EQ(devsim.Count("register"), static_cast<unsigned>(kWarmUpCycles + kCycles));
    EXPECT_EQ(devsim.Count("fw_version"), static_cast<unsigned>(kWarmUpCycles + kCycles));
    EXPECT_EQ(last->openFds, first->openFds);
    EXPECT_EQ(last->threads, first->threads);
    EXPECT_LE(last->residentKiB - first->residentKiB, kResidentSlackKiB);
    EXPECT_EQ(ownLast->openFds, ownFirst->openFds) << "the updater's side keeps descriptors";
    CloseHandle(hSemaphore);
}

} // namespace
