// The driver channel, the programming session and the real ISP library against a running
// nerith-devsim: what a user's update does to the device's flash.
#include "DevsimProcess.h"
#include "DriverChannel.h"
#include "IspLibrary.h"
#include "IspSession.h"
#include "ProgressRecorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

namespace {

using nerith::test::DevsimProcess;

constexpr DWORD kFlash1First = 0x7000;
constexpr DWORD kFlash1End = 0xEE00;
const HWND kWindow = reinterpret_cast<HWND>(0x5150);

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

// The carried image over Flash #1 as srec_cat reads it, 0xFF where the file gives nothing.
std::vector<std::uint8_t> ReferenceFlash1(const std::string& folder) {
    const std::string out = folder + "/reference.bin";
    const std::string command = std::string(NERITH_SREC_CAT) + " " + NERITH_CARRIED_IMAGE +
                                " -crop 0x7000 0xEE00 -fill 0xFF 0x7000 0xEE00 -offset -0x7000" +
                                " -o " + out + " -binary";
    if (std::system(command.c_str()) != 0) {
        return {};
    }
    std::ifstream in(out, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

std::vector<std::uint8_t> Flash1(const std::vector<std::uint8_t>& flash) {
    if (flash.size() != 0x10000) {
        return {};
    }
    return {flash.begin() + kFlash1First, flash.begin() + kFlash1End};
}

class DevsimSession : public ::testing::Test {
protected:
    void Start(const std::vector<std::string>& arguments) {
        devsim_ = std::make_unique<DevsimProcess>(arguments);
        ASSERT_TRUE(devsim_->Running()) << devsim_->Error();
        devsim_->UseAsDeviceFolder();
        session_ = std::make_unique<CIspSession>();
        session_->m_strFilePath = NERITH_CARRIED_IMAGE;
        session_->m_hNotifyWnd = kWindow;
        RecordedProgress().clear();
    }
    // Programming mode, a connection and the loaded image, as the update reaches the stages.
    void Prepare() {
        ASSERT_EQ(session_->EnterIcpMode(), 1);
        ASSERT_EQ(session_->OnBConnect(), 1);
        ASSERT_EQ(session_->OnBLoadFile(), 1);
        RecordedProgress().clear();
    }
    int VerifyAllNow() {
        if (session_->OpenIsp() != 0) {
            IspClose();
            return -1;
        }
        const int result = session_->VerifyAll(session_->m_image, session_->m_pageMap);
        IspClose();
        return result;
    }
    void TearDown() override {
        if (g_hDriver.load()) {
            CloseHandle(g_hDriver.load());
            g_hDriver = nullptr;
        }
    }

    std::unique_ptr<DevsimProcess> devsim_;
    std::unique_ptr<CIspSession> session_;
};

TEST_F(DevsimSession, VersionReadingsFromTheFirmware) {
    struct Case {
        std::vector<std::string> arguments;
        UINT version;
        unsigned requests;
    };
    const Case cases[] = {
        {{"--image-version=1,64"}, 164, 1},
        {{"--image-version=2,0"}, 200, 1},
        {{"--image-version=0x40,0x01", "--version-form=second"}, 320, 2},
        {{"--image-version=0,0"}, 0, 2},
    };
    for (const Case& c : cases) {
        Start(c.arguments);
        g_hEventSemaphore = CreateSemaphoreA(nullptr, 0, 100, nullptr);
        ASSERT_TRUE(OpenDriverChannel()) << c.arguments[0];
        EXPECT_EQ(QueryFirmwareVersion(), c.version) << c.arguments[0];
        EXPECT_EQ(devsim_->Count("fw_version"), c.requests) << c.arguments[0];
        CloseHandle(g_hDriver.load());
        g_hDriver = nullptr;
        CloseHandle(g_hEventSemaphore.load());
    }
}

TEST_F(DevsimSession, RefusedRegistrationLeavesNoChannel) {
    Start({"--fault=register-refused"});
    g_hEventSemaphore = CreateSemaphoreA(nullptr, 0, 100, nullptr);
    EXPECT_FALSE(OpenDriverChannel());
    EXPECT_EQ(g_hDriver.load(), nullptr);
    EXPECT_EQ(QueryFirmwareVersion(), 0u);
    EXPECT_EQ(devsim_->Count("fw_version"), 0u);
    CloseHandle(g_hEventSemaphore.load());
}

TEST_F(DevsimSession, EachDeviceEventIsFetchedOnce) {
    Start({});
    g_bStopEventThread = FALSE;
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    StartDriverChannel(nullptr, &thread, &threadId);
    ASSERT_NE(g_hDriver.load(), nullptr);
    for (DWORD word = 1; word <= 3; ++word) {
        ASSERT_EQ(devsim_->Control("event " + std::to_string(word * 0x101)), "ok");
        ASSERT_TRUE(WaitFor([&] { return g_dwDeviceEvent.load() == word * 0x101; })) << word;
    }
    EXPECT_EQ(devsim_->Count("get_event"), 3u);
    // The session's short-lived handles are served while the channel stays open.
    EXPECT_EQ(session_->EnterIcpMode(), 1);
    EXPECT_NE(devsim_->Control("event 9"), "ok") << "the firmware is stopped in programming mode";

    ASSERT_EQ(devsim_->Control("replug"), "ok");
    EXPECT_EQ(QueryFirmwareVersion(), 0u) << "a replug drops the old channel";
    g_bStopEventThread = TRUE;
    ReleaseSemaphore(g_hEventSemaphore.load(), 1, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(thread);
    CloseHandle(g_hEventSemaphore.load());
}

TEST_F(DevsimSession, FullUpdateLeavesTheImageInFlash1) {
    Start({"--image-version=1,0"});
    Prepare();
    EXPECT_EQ(VerifyAllNow(), 0) << "the old firmware differs from the image";
    RecordedProgress().clear();
    EXPECT_EQ(session_->OnBVerify(), 1);
    EXPECT_EQ(session_->OnBCheckSum(), 1);
    EXPECT_EQ(session_->OnBMasserase(), 1);
    EXPECT_EQ(session_->OnBProgram(), 1);
    // The version bytes at 0xDE01 differ: verify stops at block 55, program runs all 63.
    ASSERT_EQ(RecordedProgress().size(), 55u + 63u);
    EXPECT_EQ(RecordedProgress()[54], 42u);
    EXPECT_EQ(RecordedProgress()[55], 50u);
    EXPECT_EQ(RecordedProgress().back(), 99u);
    EXPECT_EQ(VerifyAllNow(), 1);

    const std::vector<std::uint8_t> reference = ReferenceFlash1(devsim_->Folder());
    ASSERT_EQ(reference.size(), kFlash1End - kFlash1First) << "srec_cat could not read the image";
    const std::vector<std::uint8_t> flash = devsim_->DumpFlash();
    EXPECT_TRUE(Flash1(flash) == reference) << "flash differs from srec_cat's reading";
    const std::vector<std::uint8_t> image(session_->m_image + kFlash1First,
                                          session_->m_image + kFlash1End);
    EXPECT_TRUE(Flash1(flash) == image);

    ASSERT_EQ(devsim_->Control("replug"), "ok");
    g_hEventSemaphore = CreateSemaphoreA(nullptr, 0, 100, nullptr);
    ASSERT_TRUE(OpenDriverChannel());
    EXPECT_EQ(QueryFirmwareVersion(), 164u) << "the new firmware reports the image's version";
    CloseHandle(g_hEventSemaphore.load());
}

TEST_F(DevsimSession, ProgrammingOverUnerasedFlashFailsTheReadBack) {
    Start({"--image-version=1,0"});
    Prepare();
    EXPECT_EQ(session_->OnBProgram(), 0);
    EXPECT_LT(RecordedProgress().size(), 63u);
}

TEST_F(DevsimSession, DeviceFaultsEndInTheirStageResults) {
    struct Case {
        std::string fault;
        int enter;
        int connect;
    };
    const Case cases[] = {
        {"--fault=no-device", 0, 0},
        {"--fault=icp-refused", 0, 0},
        {"--fault=no-answer", 1, 0},
    };
    for (const Case& c : cases) {
        Start({c.fault});
        EXPECT_EQ(session_->EnterIcpMode(), c.enter) << c.fault;
        for (int attempt = 0; attempt < 3; ++attempt) {
            EXPECT_EQ(session_->OnBConnect(), c.connect) << c.fault;
        }
        EXPECT_TRUE(session_->m_bConfigured) << c.fault;
    }
}

TEST_F(DevsimSession, McuThatAnswersLateConnectsOnItsTry) {
    Start({"--answer-after=3"});
    ASSERT_EQ(session_->EnterIcpMode(), 1);
    EXPECT_EQ(session_->OnBConnect(), 0);
    EXPECT_EQ(session_->OnBConnect(), 0);
    EXPECT_EQ(session_->OnBConnect(), 0);
    EXPECT_EQ(session_->OnBConnect(), 1);
}

TEST_F(DevsimSession, FailedEraseStopsBeforeAnythingIsProgrammed) {
    Start({"--fault=erase"});
    Prepare();
    const std::vector<std::uint8_t> before = devsim_->DumpFlash();
    EXPECT_EQ(session_->OnBMasserase(), 0);
    EXPECT_EQ(devsim_->DumpFlash(), before);
}

TEST_F(DevsimSession, FailedVerifyBlockStillLetsTheUpdateGoOn) {
    Start({"--fault=verify-at:5"});
    Prepare();
    EXPECT_EQ(session_->OnBVerify(), 1);
    EXPECT_EQ(RecordedProgress(), (std::vector<WPARAM>{0, 0, 1, 2, 3}));
    EXPECT_EQ(devsim_->Count("verify"), 6u);
}

TEST_F(DevsimSession, BlockThatDoesNotProgramFailsTheStage) {
    Start({"--fault=program-at:5"});
    Prepare();
    ASSERT_EQ(session_->OnBMasserase(), 1);
    EXPECT_EQ(session_->OnBProgram(), 0);
    EXPECT_EQ(RecordedProgress(), (std::vector<WPARAM>{50, 50, 51, 52, 53}));
    const std::vector<std::uint8_t> flash = devsim_->DumpFlash();
    ASSERT_EQ(flash.size(), 0x10000u);
    EXPECT_EQ(flash[0x7000 + 6 * 512], 0xFF) << "blocks after the failed one stay erased";
    EXPECT_EQ(flash[0x7000], session_->m_image[0x7000]);
}

TEST_F(DevsimSession, DeviceVanishingMidProgramFailsWithoutHanging) {
    Start({"--fault=vanish-at:5"});
    Prepare();
    ASSERT_EQ(session_->OnBMasserase(), 1);
    EXPECT_EQ(session_->OnBProgram(), 0);
    EXPECT_EQ(RecordedProgress().size(), 5u);
    EXPECT_NE(devsim_->Control("state").find("plugged=0"), std::string::npos);
    EXPECT_EQ(session_->OnBConnect(), 0);
}

} // namespace
