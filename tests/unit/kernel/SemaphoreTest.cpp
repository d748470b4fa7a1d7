#include "DriverProcess.h"

#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE h) : h_(h) {}
    ~ScopedHandle() {
        if (h_) {
            CloseHandle(h_);
        }
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE Get() const { return h_; }

private:
    HANDLE h_;
};

TEST(Semaphore, CountsReleasesAndWaits) {
    ScopedHandle s(CreateSemaphoreA(nullptr, 2, 3, nullptr));
    ASSERT_NE(s.Get(), nullptr);
    EXPECT_EQ(WaitForSingleObject(s.Get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(s.Get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(s.Get(), 0), WAIT_TIMEOUT);

    LONG previous = -1;
    ASSERT_TRUE(ReleaseSemaphore(s.Get(), 2, &previous));
    EXPECT_EQ(previous, 0);
    ASSERT_TRUE(ReleaseSemaphore(s.Get(), 1, &previous));
    EXPECT_EQ(previous, 2);

    // Past the maximum: refused, and the count is unchanged.
    previous = -1;
    EXPECT_FALSE(ReleaseSemaphore(s.Get(), 1, &previous));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TOO_MANY_POSTS));
    EXPECT_EQ(previous, -1);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(WaitForSingleObject(s.Get(), 0), WAIT_OBJECT_0);
    }
    EXPECT_EQ(WaitForSingleObject(s.Get(), 0), WAIT_TIMEOUT);
    EXPECT_FALSE(ReleaseSemaphore(s.Get(), 4, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TOO_MANY_POSTS));
    EXPECT_FALSE(ReleaseSemaphore(s.Get(), 0, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(Semaphore, RefusesInvalidCreation) {
    struct Case {
        LONG initial;
        LONG maximum;
    };
    for (const Case c : {Case{-1, 1}, Case{2, 1}, Case{0, 0}, Case{0, -5}}) {
        SCOPED_TRACE(testing::Message() << c.initial << "/" << c.maximum);
        SetLastError(0);
        EXPECT_EQ(CreateSemaphoreA(nullptr, c.initial, c.maximum, nullptr), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    EXPECT_FALSE(ReleaseSemaphore(nullptr, 1, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Semaphore, EveryReleaseWakesExactlyOneWaiterAcrossThreads) {
    constexpr int kWaiters = 4;
    constexpr int kRounds = 200;
    ScopedHandle s(CreateSemaphoreA(nullptr, 0, kWaiters * kRounds, nullptr));
    ASSERT_NE(s.Get(), nullptr);
    std::atomic<int> taken{0};
    std::vector<std::thread> waiters;
    waiters.reserve(kWaiters);
    for (int w = 0; w < kWaiters; ++w) {
        waiters.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                if (WaitForSingleObject(s.Get(), INFINITE) == WAIT_OBJECT_0) {
                    ++taken;
                }
            }
        });
    }
    for (int i = 0; i < kWaiters * kRounds; ++i) {
        ASSERT_TRUE(ReleaseSemaphore(s.Get(), 1, nullptr));
    }
    for (auto& t : waiters) {
        t.join();
    }
    EXPECT_EQ(taken.load(), kWaiters * kRounds);
    EXPECT_EQ(WaitForSingleObject(s.Get(), 0), WAIT_TIMEOUT);
}

TEST(Semaphore, ADriverProcessReleasesItThroughTheSharedDescriptor) {
    ScopedHandle s(CreateSemaphoreA(nullptr, 0, 1, nullptr));
    ASSERT_NE(s.Get(), nullptr);
    DriverProcess driver(s.Get());
    ASSERT_TRUE(driver.Started());
    EXPECT_EQ(WaitForSingleObject(s.Get(), 0), WAIT_TIMEOUT);

    // The driver is outside the in-process maximum: three posts arrive as three units.
    ASSERT_TRUE(driver.Post(3));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(WaitForSingleObject(s.Get(), 10000), WAIT_OBJECT_0) << i;
    }
    EXPECT_EQ(WaitForSingleObject(s.Get(), 0), WAIT_TIMEOUT);
    EXPECT_EQ(driver.Finish(), 0);

    // Units the driver posted and nobody took are not counted against the in-process maximum.
    LONG previous = -1;
    EXPECT_TRUE(ReleaseSemaphore(s.Get(), 1, &previous));
    EXPECT_EQ(previous, 0);
}

TEST(Semaphore, SurvivesCloseWhileAnotherThreadWaits) {
    HANDLE s = CreateSemaphoreA(nullptr, 0, 1, nullptr);
    ASSERT_NE(s, nullptr);
    std::atomic<DWORD> result{0xFFFF};
    std::thread waiter([&] { result = WaitForSingleObject(s, 200); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(CloseHandle(s));
    waiter.join();
    EXPECT_EQ(result.load(), WAIT_TIMEOUT);
    EXPECT_FALSE(CloseHandle(s));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

} // namespace
