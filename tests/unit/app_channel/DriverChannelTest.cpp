// The driver channel, the event thread and the version query against a driver in the test.
#include "DriverChannel.h"
#include "DevsimProcess.h"
#include "ScriptedDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

namespace {

using nerith::test::DriverCall;
using nerith::test::DriverReply;
using nerith::test::ScriptedDriver;

std::vector<std::uint8_t> VersionReply(BYTE b0, BYTE b1) {
    std::vector<std::uint8_t> reply(100, 0);
    reply[0] = b0;
    reply[1] = b1;
    return reply;
}

bool WaitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Records every request and answers from a script: version replies in order, events counted.
class FakeNerith {
public:
    explicit FakeNerith(const std::string& folder)
        : driver_(folder, "korvel", [this](DriverCall& call) { return Answer(call); }) {}

    std::deque<DriverReply> versionReplies;
    bool refuseRegistration = false;

    std::vector<std::vector<std::uint8_t>> Inputs(DWORD code) {
        std::lock_guard lock(mutex_);
        std::vector<std::vector<std::uint8_t>> inputs;
        for (const auto& [c, input] : requests_) {
            if (c == code) {
                inputs.push_back(input);
            }
        }
        return inputs;
    }
    std::size_t Count(DWORD code) { return Inputs(code).size(); }
    bool Release() { return driver_.Signal(); }
    void NextEvent(DWORD word) {
        std::lock_guard lock(mutex_);
        nextEvent_ = word;
    }

private:
    DriverReply Answer(DriverCall& call) {
        std::lock_guard lock(mutex_);
        const auto& r = call.Request();
        requests_.emplace_back(r.code, std::vector<std::uint8_t>(r.input.begin(), r.input.end()));
        if (r.code == IOCTL_REGISTER_SEMAPHORE) {
            return Register(call);
        }
        if (r.code == IOCTL_GET_EVENT) {
            std::vector<std::uint8_t> word(4);
            std::memcpy(word.data(), &nextEvent_, 4);
            return DriverReply::Ok(word);
        }
        if (r.code == IOCTL_GET_FW_VERSION && !versionReplies.empty()) {
            DriverReply reply = versionReplies.front();
            versionReplies.pop_front();
            return reply;
        }
        return DriverReply::Fail(ERROR_INVALID_FUNCTION);
    }
    DriverReply Register(DriverCall& call) {
        if (refuseRegistration || call.Request().input.size() != 4) {
            return DriverReply::Fail(ERROR_ACCESS_DENIED);
        }
        std::uint32_t value = 0;
        std::memcpy(&value, call.Request().input.data(), 4);
        const int fd = call.QueryObject(value);
        if (fd < 0) {
            return DriverReply::Fail(ERROR_INVALID_HANDLE);
        }
        driver_.Keep(fd);
        return DriverReply::Ok();
    }

    std::mutex mutex_;
    std::vector<std::pair<DWORD, std::vector<std::uint8_t>>> requests_;
    DWORD nextEvent_ = 0;
    ScriptedDriver driver_;
};

class DriverChannel : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("NERITH_DEVICE_DIR", folder_.Path().c_str(), 1);
        g_hDriver = nullptr;
        g_hEventSemaphore = nullptr;
        g_bStopEventThread = FALSE;
        g_dwDeviceEvent = 0;
    }
    void TearDown() override {
        if (g_hDriver.load()) {
            CloseHandle(g_hDriver.load());
        }
        g_hDriver = nullptr;
    }

    nerith::test::TempFolder folder_;
};

TEST_F(DriverChannel, ControlCodesAreTheDriversOwn) {
    EXPECT_EQ(IOCTL_REGISTER_SEMAPHORE, 0x222400u);
    EXPECT_EQ(IOCTL_GET_EVENT, 0x222408u);
    EXPECT_EQ(IOCTL_GET_FW_VERSION, 0x222510u);
}

TEST_F(DriverChannel, NoDriverLeavesTheChannelClosedAndTheVersionZero) {
    EXPECT_FALSE(OpenDriverChannel());
    EXPECT_EQ(g_hDriver.load(), nullptr);
    EXPECT_EQ(QueryFirmwareVersion(), 0u);
}

TEST_F(DriverChannel, RefusedRegistrationClosesTheChannel) {
    FakeNerith nerith(folder_.Path());
    nerith.refuseRegistration = true;
    g_hEventSemaphore = CreateSemaphoreA(nullptr, 0, 100, nullptr);
    EXPECT_FALSE(OpenDriverChannel());
    EXPECT_EQ(g_hDriver.load(), nullptr);
    EXPECT_EQ(nerith.Count(IOCTL_REGISTER_SEMAPHORE), 1u);
    EXPECT_EQ(QueryFirmwareVersion(), 0u);
    EXPECT_EQ(nerith.Count(IOCTL_GET_FW_VERSION), 0u);
    CloseHandle(g_hEventSemaphore.load());
}

TEST_F(DriverChannel, RegistrationHandsTheSemaphoreValueOverInFourBytes) {
    FakeNerith nerith(folder_.Path());
    const HANDLE semaphore = CreateSemaphoreA(nullptr, 0, 100, nullptr);
    g_hEventSemaphore = semaphore;
    ASSERT_TRUE(OpenDriverChannel());
    EXPECT_NE(g_hDriver.load(), nullptr);
    const auto inputs = nerith.Inputs(IOCTL_REGISTER_SEMAPHORE);
    ASSERT_EQ(inputs.size(), 1u);
    ASSERT_EQ(inputs[0].size(), 4u);
    DWORD value = 0;
    std::memcpy(&value, inputs[0].data(), 4);
    EXPECT_EQ(value, static_cast<DWORD>(reinterpret_cast<UINT_PTR>(semaphore)));
    ASSERT_TRUE(nerith.Release());
    EXPECT_EQ(WaitForSingleObject(semaphore, 2000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(semaphore);
}

TEST_F(DriverChannel, VersionReadingsOfBothForms) {
    struct Case {
        const char* what;
        std::vector<DriverReply> replies;
        UINT version;
        std::size_t requests;
    };
    const Case cases[] = {
        {"1, 64", {DriverReply::Ok(VersionReply(1, 64))}, 164, 1},
        {"2, 0", {DriverReply::Ok(VersionReply(2, 0))}, 200, 1},
        {"0, 1", {DriverReply::Ok(VersionReply(0, 1))}, 1, 1},
        {"255, 255", {DriverReply::Ok(VersionReply(255, 255))}, 25755, 1},
        {"zeros, then 0x40 0x01",
         {DriverReply::Ok(VersionReply(0, 0)), DriverReply::Ok(VersionReply(0x40, 0x01))},
         320,
         2},
        {"zeros twice",
         {DriverReply::Ok(VersionReply(0, 0)), DriverReply::Ok(VersionReply(0, 0))},
         0,
         2},
        {"a failure, then 0x40 0x01",
         {DriverReply::Fail(ERROR_NOT_READY), DriverReply::Ok(VersionReply(0x40, 0x01))},
         320,
         2},
        {"two failures",
         {DriverReply::Fail(ERROR_NOT_READY), DriverReply::Fail(ERROR_NOT_READY)},
         0,
         2},
    };
    for (const Case& c : cases) {
        FakeNerith nerith(folder_.Path());
        nerith.versionReplies.assign(c.replies.begin(), c.replies.end());
        g_hDriver = CreateFileA("\\\\.\\korvel", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(g_hDriver.load(), INVALID_HANDLE_VALUE) << c.what;
        EXPECT_EQ(QueryFirmwareVersion(), c.version) << c.what;
        const auto inputs = nerith.Inputs(IOCTL_GET_FW_VERSION);
        EXPECT_EQ(inputs.size(), c.requests) << c.what;
        for (const auto& input : inputs) {
            EXPECT_EQ(input, std::vector<std::uint8_t>(100, 0)) << c.what;
        }
        CloseHandle(g_hDriver.load());
        g_hDriver = nullptr;
    }
}

TEST_F(DriverChannel, EventThreadWithoutASemaphoreEndsInsteadOfSpinning) {
    g_hEventSemaphore = nullptr;
    EXPECT_EQ(DeviceEventThread(nullptr), 0u);
    g_bStopEventThread = TRUE;
    g_hEventSemaphore = CreateSemaphoreA(nullptr, 1, 100, nullptr);
    EXPECT_EQ(DeviceEventThread(nullptr), 0u) << "a stop flag already set ends it at once";
    EXPECT_EQ(WaitForSingleObject(g_hEventSemaphore.load(), 0), static_cast<DWORD>(WAIT_OBJECT_0))
        << "without taking a release";
    CloseHandle(g_hEventSemaphore.load());
}

TEST_F(DriverChannel, OneEventRequestPerReleaseUntilStopped) {
    FakeNerith nerith(folder_.Path());
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    StartDriverChannel(nullptr, &thread, &threadId);
    ASSERT_NE(thread, nullptr);
    ASSERT_NE(g_hDriver.load(), nullptr);

    const DWORD words[] = {0x11, 0x22, 0x33};
    for (std::size_t i = 0; i < 3; ++i) {
        nerith.NextEvent(words[i]);
        ASSERT_TRUE(nerith.Release());
        ASSERT_TRUE(WaitFor([&] { return g_dwDeviceEvent.load() == words[i]; })) << i;
        EXPECT_EQ(nerith.Count(IOCTL_GET_EVENT), i + 1);
    }
    // Each request's input holds the word the previous one fetched.
    const auto inputs = nerith.Inputs(IOCTL_GET_EVENT);
    ASSERT_EQ(inputs.size(), 3u);
    DWORD second = 0;
    std::memcpy(&second, inputs[2].data(), 4);
    EXPECT_EQ(second, 0x22u);

    g_bStopEventThread = TRUE;
    nerith.NextEvent(0x44);
    ASSERT_TRUE(nerith.Release());
    EXPECT_EQ(WaitForSingleObject(thread, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(nerith.Count(IOCTL_GET_EVENT), 4u) << "at most one more request after the stop";
    EXPECT_EQ(g_dwDeviceEvent.load(), 0x44u);
    CloseHandle(thread);
    CloseHandle(g_hEventSemaphore.load());
}

} // namespace

// The repeat goes out in the buffer the first reply filled: the driver's bytes 2 to 99 travel
// back unchanged, and only as many bytes as it returned were written into it.
TEST_F(DriverChannel, TheRepeatCarriesTheFirstReplyAsItLeftTheBuffer) {
    std::vector<std::uint8_t> full(100, 0);
    for (std::size_t i = 2; i < full.size(); ++i) {
        full[i] = static_cast<std::uint8_t>(0xA0 + i);
    }
    std::vector<std::uint8_t> shorter(full.begin(), full.begin() + 40);
    std::vector<std::uint8_t> shorterSeen(100, 0);
    std::copy(shorter.begin(), shorter.end(), shorterSeen.begin());
    struct Case {
        const char* what;
        std::vector<std::uint8_t> first;
        std::vector<std::uint8_t> repeatInput;
    };
    const Case cases[] = {
        {"100 bytes, 2 to 99 set", full, full},
        {"40 bytes, 2 to 39 set", shorter, shorterSeen},
    };
    for (const Case& c : cases) {
        FakeNerith nerith(folder_.Path());
        nerith.versionReplies = {DriverReply::Ok(c.first), DriverReply::Ok(VersionReply(7, 1))};
        g_hDriver = CreateFileA("\\\\.\\korvel", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(g_hDriver.load(), INVALID_HANDLE_VALUE) << c.what;
        EXPECT_EQ(QueryFirmwareVersion(), 7u + 256u) << c.what;
        const auto inputs = nerith.Inputs(IOCTL_GET_FW_VERSION);
        ASSERT_EQ(inputs.size(), 2u) << c.what;
        EXPECT_EQ(inputs[0], std::vector<std::uint8_t>(100, 0)) << c.what;
        EXPECT_EQ(inputs[1], c.repeatInput) << c.what;
        CloseHandle(g_hDriver.load());
        g_hDriver = nullptr;
    }
}
