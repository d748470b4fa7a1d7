#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Shared {
    HANDLE go = nullptr;
    std::atomic<DWORD> seenId{0};
    std::atomic<bool> ran{false};
};

DWORD WINAPI RecordAndWait(LPVOID parameter) {
    auto* shared = static_cast<Shared*>(parameter);
    shared->seenId = GetCurrentThreadId();
    WaitForSingleObject(shared->go, INFINITE);
    shared->ran = true;
    return 42;
}

TEST(Thread, RunsTheRoutineAndIsWaitableUntilItEnds) {
    Shared shared;
    shared.go = CreateSemaphoreA(nullptr, 0, 1, nullptr);
    ASSERT_NE(shared.go, nullptr);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, RecordAndWait, &shared, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);
    EXPECT_FALSE(shared.ran.load());

    ASSERT_TRUE(ReleaseSemaphore(shared.go, 1, nullptr));
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(shared.ran.load());
    EXPECT_EQ(shared.seenId.load(), id);
    // A finished thread stays signalled.
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_TRUE(CloseHandle(shared.go));
}

TEST(Thread, ClosingTheHandleLeavesTheThreadRunning) {
    Shared shared;
    shared.go = CreateSemaphoreA(nullptr, 0, 1, nullptr);
    HANDLE done = CreateSemaphoreA(nullptr, 0, 1, nullptr);
    ASSERT_NE(shared.go, nullptr);
    ASSERT_NE(done, nullptr);
    HANDLE handles[2] = {shared.go, done};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            auto* handles = static_cast<HANDLE*>(p);
            WaitForSingleObject(handles[0], INFINITE);
            ReleaseSemaphore(handles[1], 1, nullptr);
            return 0;
        },
        handles, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(CloseHandle(thread));
    ASSERT_TRUE(ReleaseSemaphore(shared.go, 1, nullptr));
    EXPECT_EQ(WaitForSingleObject(done, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(done));
    EXPECT_TRUE(CloseHandle(shared.go));
}

// Touches most of a 24 MiB frame: more than a default thread stack holds.
DWORD WINAPI UseDeepStack(LPVOID) {
    constexpr std::size_t kSize = 24u << 20;
    volatile char frame[kSize];
    for (std::size_t i = 0; i < kSize; i += 4096) {
        frame[i] = static_cast<char>(i);
    }
    return frame[kSize - 4096] == 0 ? 1 : 2;
}

TEST(Thread, HonoursALargeStackRequest) {
    HANDLE thread = CreateThread(nullptr, 64u << 20, UseDeepStack, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(thread));
}

TEST(Thread, RefusesWhatItCannotDo) {
    SetLastError(0);
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(CreateThread(nullptr, 0, UseDeepStack, nullptr, CREATE_SUSPENDED, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

// The test runs with NERITH_TIME_SCALE=0.01 (see CMakeLists.txt): product waits of seconds
// take tens of milliseconds.
class TimeScale : public testing::Test {
protected:
    void SetUp() override {
        const char* scale = std::getenv("NERITH_TIME_SCALE");
        if (!scale || std::strcmp(scale, "0.01") != 0) {
            GTEST_SKIP() << "needs NERITH_TIME_SCALE=0.01";
        }
    }
    static long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start)
            .count();
    }
};

TEST_F(TimeScale, SpeedsUpSleep) {
    const auto start = std::chrono::steady_clock::now();
    Sleep(3000);
    const long long elapsed = MillisecondsSince(start);
    EXPECT_GE(elapsed, 29);
    EXPECT_LT(elapsed, 1500);
}

TEST_F(TimeScale, SpeedsUpWaitTimeOuts) {
    HANDLE s = CreateSemaphoreA(nullptr, 0, 1, nullptr);
    ASSERT_NE(s, nullptr);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(s, 5000), WAIT_TIMEOUT);
    const long long elapsed = MillisecondsSince(start);
    EXPECT_GE(elapsed, 49);
    EXPECT_LT(elapsed, 2500);
    EXPECT_TRUE(CloseHandle(s));
}

TEST_F(TimeScale, LeavesTheTickCountInRealTime) {
    const DWORD before = GetTickCount();
    Sleep(5000);
    const DWORD ticks = GetTickCount() - before;
    EXPECT_GE(ticks, 45u);
    EXPECT_LT(ticks, 2500u);
}

} // namespace
