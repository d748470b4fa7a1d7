#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>

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

} // namespace
