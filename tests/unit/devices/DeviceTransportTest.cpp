// The device transport seen through CreateFileA and DeviceIoControl, against a driver that
// lives in the test.
#include "DevsimProcess.h"
#include "ScriptedDriver.h"
#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

using nerith::test::DriverCall;
using nerith::test::DriverReply;
using nerith::test::ScriptedDriver;
using nerith::test::TempFolder;
namespace wire = platform::devices::wire;

constexpr DWORD kEchoCode = CTL_CODE(FILE_DEVICE_UNKNOWN, 0x800, METHOD_BUFFERED, FILE_ANY_ACCESS);

// Echoes the input, cut or padded to the output length the client asked for.
DriverReply Echo(DriverCall& call) {
    std::vector<std::uint8_t> output(call.Request().input.begin(), call.Request().input.end());
    output.resize(call.Request().outLength, 0xEE);
    return DriverReply::Ok(std::move(output));
}

class DeviceTransport : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("NERITH_DEVICE_DIR", folder_.Path().c_str(), 1); }
    void TearDown() override {
        for (HANDLE h : handles_) {
            CloseHandle(h);
        }
    }

    HANDLE Open(const char* path = "\\\\.\\testdev") {
        HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            handles_.push_back(h);
        }
        return h;
    }

    TempFolder folder_;
    std::vector<HANDLE> handles_;
};

TEST_F(DeviceTransport, OpenFailsWithFileNotFoundWhenNoDriverServes) {
    const char* paths[] = {"\\\\.\\testdev", "\\\\.\\..", "\\\\.\\a b",
                           "\\\\.\\name-that-is-far-too-long-for-any-device-"
                           "socket-name-in-the-folder-xxxxxxxxx"};
    for (const char* path : paths) {
        SetLastError(0);
        EXPECT_EQ(Open(path), INVALID_HANDLE_VALUE) << path;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << path;
    }
}

TEST_F(DeviceTransport, SocketLeftBehindByAGoneDriverIsNotFound) {
    ASSERT_TRUE(nerith::test::PlantDeadSocket(folder_.Path(), "testdev"));
    SetLastError(0);
    EXPECT_EQ(Open(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ScriptedDriver live(folder_.Path(), "testdev", Echo);
    ASSERT_TRUE(live.Listening());
    EXPECT_NE(Open(), INVALID_HANDLE_VALUE);
}

TEST_F(DeviceTransport, RequestCarriesCodeInputAndOutputLength) {
    wire::Request seen;
    std::vector<std::uint8_t> seenInput;
    ScriptedDriver driver(folder_.Path(), "testdev", [&](DriverCall& call) {
        seen = call.Request();
        seenInput.assign(call.Request().input.begin(), call.Request().input.end());
        return DriverReply::Ok({1, 2, 3});
    });
    const HANDLE h = Open();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    BYTE in[5] = {9, 8, 7, 6, 5};
    BYTE out[8] = {};
    DWORD returned = 99;
    ASSERT_TRUE(DeviceIoControl(h, kEchoCode, in, 5, out, 8, &returned, nullptr));
    EXPECT_EQ(seen.code, kEchoCode);
    EXPECT_EQ(seen.outLength, 8u);
    EXPECT_EQ(seenInput, std::vector<std::uint8_t>(in, in + 5));
    EXPECT_EQ(returned, 3u);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[2], 3);
    EXPECT_EQ(out[3], 0) << "bytes past those returned stay untouched";
}

TEST_F(DeviceTransport, SameBufferServesAsInputAndOutput) {
    ScriptedDriver driver(folder_.Path(), "testdev", [](DriverCall& call) {
        DWORD word = 0;
        std::memcpy(&word, call.Request().input.data(),
                    std::min<std::size_t>(4, call.Request().input.size()));
        ++word;
        std::vector<std::uint8_t> out(4);
        std::memcpy(out.data(), &word, 4);
        return DriverReply::Ok(out);
    });
    const HANDLE h = Open();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD word = 41;
    DWORD returned = 0;
    ASSERT_TRUE(DeviceIoControl(h, kEchoCode, &word, 4, &word, 4, &returned, nullptr));
    EXPECT_EQ(word, 42u);
}

TEST_F(DeviceTransport, DriverStatusBecomesTheLastError) {
    ScriptedDriver driver(folder_.Path(), "testdev",
                          [](DriverCall&) { return DriverReply::Fail(ERROR_NOT_READY); });
    const HANDLE h = Open();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    BYTE out[4] = {0x55, 0x55, 0x55, 0x55};
    DWORD returned = 7;
    EXPECT_FALSE(DeviceIoControl(h, kEchoCode, nullptr, 0, out, 4, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_READY));
    EXPECT_EQ(returned, 0u);
    EXPECT_EQ(out[0], 0x55) << "a failed request returns no output";
    // The handle stays usable after a driver-reported failure.
    EXPECT_FALSE(DeviceIoControl(h, kEchoCode, nullptr, 0, out, 4, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_READY));
}

TEST_F(DeviceTransport, LargestBuffersTravelWholeAndLargerOnesAreRefused) {
    ScriptedDriver driver(folder_.Path(), "testdev", Echo);
    const HANDLE h = Open();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::vector<BYTE> in(wire::kMaxData);
    for (std::size_t i = 0; i < in.size(); ++i) {
        in[i] = static_cast<BYTE>(i * 7 + i / 256);
    }
    std::vector<BYTE> out(wire::kMaxData + 1);
    DWORD returned = 0;
    ASSERT_TRUE(DeviceIoControl(h, kEchoCode, in.data(), wire::kMaxData, out.data(), wire::kMaxData,
                                &returned, nullptr));
    EXPECT_EQ(returned, wire::kMaxData);
    EXPECT_TRUE(std::equal(in.begin(), in.end(), out.begin()));

    const unsigned before = driver.Requests();
    EXPECT_FALSE(DeviceIoControl(h, kEchoCode, out.data(), wire::kMaxData + 1, nullptr, 0,
                                 &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(driver.Requests(), before) << "an oversized request never reaches the driver";
}

TEST_F(DeviceTransport, BadArgumentsAreRefusedBeforeSending) {
    ScriptedDriver driver(folder_.Path(), "testdev", Echo);
    const HANDLE h = Open();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    EXPECT_FALSE(DeviceIoControl(h, kEchoCode, nullptr, 4, nullptr, 0, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(DeviceIoControl(h, kEchoCode, nullptr, 0, nullptr, 4, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(DeviceIoControl(reinterpret_cast<HANDLE>(0x1230), kEchoCode, nullptr, 0, nullptr,
                                 0, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(driver.Requests(), 0u);
}

TEST_F(DeviceTransport, VanishedPeerFailsTheCallAndEveryLaterOne) {
    ScriptedDriver driver(folder_.Path(), "testdev",
                          [](DriverCall&) { return DriverReply::Vanish(); });
    const HANDLE h = Open();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    BYTE buffer[16] = {};
    DWORD returned = 0;
    EXPECT_FALSE(DeviceIoControl(h, kEchoCode, buffer, 16, buffer, 16, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_FALSE(DeviceIoControl(h, kEchoCode, buffer, 16, buffer, 16, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_TRUE(CloseHandle(h));
    handles_.clear();
}

TEST_F(DeviceTransport, DriverGoneBeforeTheRequestFailsWithoutSignal) {
    HANDLE h = INVALID_HANDLE_VALUE;
    {
        ScriptedDriver driver(folder_.Path(), "testdev", Echo);
        h = Open();
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
    }
    std::vector<BYTE> big(wire::kMaxData);
    DWORD returned = 0;
    // A write into a closed socket would raise SIGPIPE and end this test program.
    EXPECT_FALSE(
        DeviceIoControl(h, kEchoCode, big.data(), wire::kMaxData, nullptr, 0, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
}

std::vector<std::uint8_t> Header(std::uint32_t magic, std::uint32_t kind, std::uint32_t a,
                                 std::uint32_t b, std::uint32_t c) {
    std::vector<std::uint8_t> packet(20);
    const std::uint32_t words[5] = {magic, kind, a, b, c};
    std::memcpy(packet.data(), words, 20);
    return packet;
}

TEST_F(DeviceTransport, MalformedRepliesFailWithGenFailure) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> packet;
    };
    auto withBody = [](std::vector<std::uint8_t> packet, std::size_t n) {
        packet.resize(packet.size() + n, 0xAB);
        return packet;
    };
    const Case cases[] = {
        {"wrong magic", Header(0x12345678, 2, 0, 0, 0)},
        {"unknown kind", Header(wire::kMagic, 9, 0, 0, 0)},
        {"short header", std::vector<std::uint8_t>(12, 0)},
        {"more output than asked for", withBody(Header(wire::kMagic, 2, 0, 8, 0), 8)},
        {"length and body disagree", withBody(Header(wire::kMagic, 2, 0, 4, 0), 3)},
        {"output with a failure status", withBody(Header(wire::kMagic, 2, 31, 2, 0), 2)},
        {"a request instead of a reply", Header(wire::kMagic, 1, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        ScriptedDriver driver(folder_.Path(), "testdev",
                              [&](DriverCall&) { return DriverReply::Raw(c.packet); });
        const HANDLE h = Open();
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << c.what;
        BYTE out[4] = {};
        DWORD returned = 0;
        EXPECT_FALSE(DeviceIoControl(h, kEchoCode, nullptr, 0, out, 4, &returned, nullptr))
            << c.what;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_GEN_FAILURE)) << c.what;
    }
}

TEST_F(DeviceTransport, DriverAskingForObjectsEndlesslyIsCutOff) {
    ScriptedDriver driver(folder_.Path(), "testdev", [](DriverCall& call) {
        for (int i = 0; i < 8; ++i) {
            call.QueryObject(0x1234);
        }
        return DriverReply::Ok();
    });
    const HANDLE h = Open();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    EXPECT_FALSE(DeviceIoControl(h, kEchoCode, nullptr, 0, nullptr, 0, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_GEN_FAILURE));
}

// The driver asks for the object behind the handle value in the input, keeps it and releases
// it; the caller's own semaphore must count the release.
DriverReply RegisterObject(ScriptedDriver*& self, DriverCall& call) {
    std::uint32_t value = 0;
    if (call.Request().input.size() != 4) {
        return DriverReply::Fail(ERROR_INVALID_PARAMETER);
    }
    std::memcpy(&value, call.Request().input.data(), 4);
    const int fd = call.QueryObject(value);
    if (fd < 0) {
        return DriverReply::Fail(ERROR_INVALID_HANDLE);
    }
    self->Keep(fd);
    return DriverReply::Ok();
}

TEST_F(DeviceTransport, DriverReleasesTheCallersSemaphoreItAskedFor) {
    ScriptedDriver* self = nullptr;
    ScriptedDriver driver(folder_.Path(), "testdev",
                          [&](DriverCall& call) { return RegisterObject(self, call); });
    self = &driver;
    const HANDLE semaphore = CreateSemaphoreA(nullptr, 0, 100, nullptr);
    ASSERT_NE(semaphore, nullptr);
    const HANDLE h = Open();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD value = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(semaphore));
    DWORD returned = 0;
    ASSERT_TRUE(DeviceIoControl(h, kEchoCode, &value, 4, nullptr, 0, &returned, nullptr));

    EXPECT_EQ(WaitForSingleObject(semaphore, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    ASSERT_TRUE(driver.Signal());
    ASSERT_TRUE(driver.Signal());
    EXPECT_EQ(WaitForSingleObject(semaphore, 1000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(WaitForSingleObject(semaphore, 1000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(WaitForSingleObject(semaphore, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    CloseHandle(semaphore);
}

TEST_F(DeviceTransport, HandlesThatNameNoShareableObjectAreRefused) {
    ScriptedDriver* self = nullptr;
    ScriptedDriver driver(folder_.Path(), "testdev",
                          [&](DriverCall& call) { return RegisterObject(self, call); });
    self = &driver;
    const HANDLE h = Open();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    // Another device handle has no descriptor to hand over; 0x7FFC names nothing at all.
    const HANDLE other = Open();
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    const DWORD values[] = {0x7FFC, static_cast<DWORD>(reinterpret_cast<UINT_PTR>(other))};
    for (DWORD value : values) {
        DWORD returned = 0;
        EXPECT_FALSE(DeviceIoControl(h, kEchoCode, &value, 4, nullptr, 0, &returned, nullptr));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE)) << value;
    }
    EXPECT_FALSE(driver.Signal());
}

TEST_F(DeviceTransport, ConcurrentCallersOnOneHandleEachGetTheirOwnReply) {
    ScriptedDriver driver(folder_.Path(), "testdev", [](DriverCall& call) {
        std::this_thread::sleep_for(std::chrono::microseconds(50));
        return Echo(call);
    });
    const HANDLE h = Open();
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    constexpr int kThreads = 4;
    constexpr int kRequests = 150;
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    threads.reserve(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRequests; ++i) {
                DWORD in[2] = {static_cast<DWORD>(t), static_cast<DWORD>(i)};
                DWORD out[2] = {};
                DWORD returned = 0;
                if (!DeviceIoControl(h, kEchoCode, in, 8, out, 8, &returned, nullptr) ||
                    out[0] != in[0] || out[1] != in[1]) {
                    ++mismatches;
                }
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_EQ(driver.Requests(), static_cast<unsigned>(kThreads * kRequests));
}

} // namespace
