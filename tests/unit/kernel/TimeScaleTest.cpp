// What our kernel32 does that Windows does not: it refuses what it does not implement, and
// scales the product's waits for tests.
#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

TEST(Thread, RefusesWhatItCannotDo) {
    SetLastError(0);
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(
        CreateThread(
            nullptr, 0, [](LPVOID) -> DWORD { return 0; }, nullptr, CREATE_SUSPENDED, nullptr),
        nullptr);
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
