// No device request waits for ever: a driver that does not answer in time fails the request
// with ERROR_SEM_TIMEOUT and breaks the handle, so a late reply never passes for the answer to
// a later request.
#include "DevsimProcess.h"
#include "ScriptedDriver.h"
#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <future>
#include <mutex>
#include <thread>

namespace {

using nerith::test::DriverCall;
using nerith::test::DriverReply;
using nerith::test::ScriptedDriver;
using nerith::test::TempFolder;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
namespace wire = platform::devices::wire;

constexpr DWORD kCode = CTL_CODE(FILE_DEVICE_UNKNOWN, 0x802, METHOD_BUFFERED, FILE_ANY_ACCESS);
// Room for a loaded machine to wake a waiter late; far less than a second time-out.
constexpr milliseconds kSlack(3000);

milliseconds Timeout() {
    return milliseconds(wire::RequestTimeoutMs());
}

// A driver whose handler may hold a request until the test lets it go; going away lets it go
// too, so a failed test cannot hang in the driver's threads.
class HeldDriver {
public:
    using Hold = std::function<void()>;
    using Handler = std::function<DriverReply(DriverCall&, const Hold&)>;
    HeldDriver(const std::string& folder, Handler handler)
        : handler_(std::move(handler)), driver_(folder, "testdev", [this](DriverCall& call) {
              DriverReply reply = handler_(call, [this] { WaitForRelease(); });
              ++answered_;
              return reply;
          }) {}
    ~HeldDriver() { Release(); }
    HeldDriver(const HeldDriver&) = delete;
    HeldDriver& operator=(const HeldDriver&) = delete;

    void Release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }
    ScriptedDriver& Driver() { return driver_; }
    int Answered() const { return answered_.load(); }

private:
    void WaitForRelease() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return released_; });
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    bool released_ = false;
    std::atomic<int> answered_{0};
    Handler handler_;
    ScriptedDriver driver_;
};

class RequestTimeout : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("NERITH_DEVICE_DIR", folder_.Path().c_str(), 1); }
    void TearDown() override {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }

    HANDLE Open() {
        handle_ = CreateFileA("\\\\.\\testdev", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
        return handle_;
    }

    struct Outcome {
        BOOL ok;
        DWORD error;
        milliseconds took;
    };
    Outcome Request(void* input, DWORD inLength, void* output, DWORD outLength) {
        const auto start = Clock::now();
        DWORD returned = 0;
        SetLastError(0);
        const BOOL ok =
            DeviceIoControl(handle_, kCode, input, inLength, output, outLength, &returned, nullptr);
        const DWORD error = GetLastError();
        return {ok, error, std::chrono::duration_cast<milliseconds>(Clock::now() - start)};
    }

    // The request waited out the whole time-out, and not much more.
    static void ExpectTimedOut(const Outcome& outcome) {
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.error, static_cast<DWORD>(ERROR_SEM_TIMEOUT));
        EXPECT_GE(outcome.took, Timeout() - milliseconds(10));
        EXPECT_LE(outcome.took, Timeout() + kSlack);
    }
    // Failed at once, without waiting for the driver again.
    static void ExpectBroken(const Outcome& outcome) {
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.error, static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
        EXPECT_LT(outcome.took, Timeout() / 2);
    }

    TempFolder folder_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

TEST_F(RequestTimeout, SilentDriverTimesOutAndEveryLaterRequestFailsAtOnce) {
    HeldDriver driver(folder_.Path(), [](DriverCall&, const HeldDriver::Hold& hold) {
        hold();
        return DriverReply::Ok();
    });
    ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
    BYTE buffer[8] = {};
    ExpectTimedOut(Request(buffer, 8, buffer, 8));
    for (int i = 0; i < 2; ++i) {
        ExpectBroken(Request(buffer, 8, buffer, 8));
    }
    EXPECT_EQ(driver.Driver().Requests(), 1u) << "a broken handle sends nothing more";
}

TEST_F(RequestTimeout, LateReplyIsNeverTakenForTheAnswerToALaterRequest) {
    HeldDriver driver(folder_.Path(), [](DriverCall&, const HeldDriver::Hold& hold) {
        hold();
        return DriverReply::Ok(std::vector<std::uint8_t>(4, 0xAA));
    });
    ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
    BYTE out[4] = {};
    ExpectTimedOut(Request(nullptr, 0, out, 4));
    driver.Release();
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (driver.Answered() == 0 && Clock::now() < deadline) {
        std::this_thread::yield();
    }
    ASSERT_EQ(driver.Answered(), 1) << "the late reply was sent";
    const Outcome later = Request(nullptr, 0, out, 4);
    ExpectBroken(later);
    EXPECT_EQ(out[0], 0) << "the late reply reached the caller";
}

// The driver asks for the semaphore, receives it, and then holds its reply back.
TEST_F(RequestTimeout, ObjectHandOverLegTimesOut) {
    std::atomic<bool> handedOver{false};
    HeldDriver* self = nullptr;
    HeldDriver driver(folder_.Path(), [&](DriverCall& call, const HeldDriver::Hold& hold) {
        std::uint32_t value = 0;
        std::memcpy(&value, call.Request().input.data(), 4);
        const int fd = call.QueryObject(value);
        handedOver = fd >= 0;
        self->Driver().Keep(fd);
        hold();
        return DriverReply::Ok();
    });
    self = &driver;
    const HANDLE semaphore = CreateSemaphoreA(nullptr, 0, 100, nullptr);
    ASSERT_NE(semaphore, nullptr);
    ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
    DWORD value = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(semaphore));
    ExpectTimedOut(Request(&value, 4, nullptr, 0));
    EXPECT_TRUE(handedOver.load()) << "the time-out fell in the hand-over, not before it";
    ExpectBroken(Request(&value, 4, nullptr, 0));
    CloseHandle(semaphore);
}

// A caller queued behind a request that times out is not kept waiting for a second time-out.
TEST_F(RequestTimeout, CallerWaitingForTheHandleEndsWithTheStalledRequest) {
    HeldDriver driver(folder_.Path(), [](DriverCall&, const HeldDriver::Hold& hold) {
        hold();
        return DriverReply::Ok();
    });
    ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
    const auto start = Clock::now();
    auto first = std::async(std::launch::async, [this] { return Request(nullptr, 0, nullptr, 0); });
    while (driver.Driver().Requests() == 0 && Clock::now() - start < std::chrono::seconds(10)) {
        std::this_thread::yield();
    }
    ASSERT_EQ(driver.Driver().Requests(), 1u);
    const Outcome second = Request(nullptr, 0, nullptr, 0);
    const auto ended = Clock::now() - start;
    ExpectTimedOut(first.get());
    EXPECT_FALSE(second.ok);
    EXPECT_EQ(second.error, static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_LE(ended, Timeout() + kSlack);
}

// The time scale of the tests makes the scaled time-out tiny; a driver that takes a second
// to answer is still answered, because the time-out never drops below its floor.
TEST_F(RequestTimeout, SlowButLiveDriverIsAnsweredUnderASmallTimeScale) {
    HeldDriver driver(folder_.Path(), [](DriverCall&, const HeldDriver::Hold&) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        return DriverReply::Ok({7});
    });
    ASSERT_NE(Open(), INVALID_HANDLE_VALUE);
    BYTE out = 0;
    const Outcome outcome = Request(nullptr, 0, &out, 1);
    EXPECT_TRUE(outcome.ok) << outcome.error;
    EXPECT_EQ(out, 7);
}

} // namespace
