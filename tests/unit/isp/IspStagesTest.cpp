// The session's stages against the recording ISP library: arguments, call order, progress
// messages, preconditions and the debugger lines.
#include "IspSession.h"
#include "RecordingIspLibrary.h"
#include "UpdateProgressMessage.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using nerith::test::IspCall;
using nerith::test::Recorder;
using Names = std::vector<std::string>;

const HWND kWindow = reinterpret_cast<HWND>(0x5150);

// Progress after block k of Flash #1 (0x7000-0xEDFF, 512-byte blocks).
std::vector<WPARAM> ExpectedProgress(WPARAM base) {
    std::vector<WPARAM> progress;
    for (DWORD k = 0; k < 63; ++k) {
        progress.push_back(base + (512 * k * 100 / 32255) / 2);
    }
    return progress;
}

class IspStages : public ::testing::Test {
protected:
    void SetUp() override {
        nerith::test::ResetRecorder();
        session_ = std::make_unique<CIspSession>();
        session_->m_hNotifyWnd = kWindow;
    }
    // Configured and loaded as after OnBConnect and OnBLoadFile, with no calls recorded.
    void Ready() {
        ASSERT_EQ(session_->OnBConnect(), 1);
        session_->m_bLoaded = TRUE;
        nerith::test::ResetRecorder();
    }
    std::string Debugger(int (CIspSession::*stage)()) {
        ::testing::internal::CaptureStderr();
        (session_.get()->*stage)();
        return ::testing::internal::GetCapturedStderr();
    }

    std::unique_ptr<CIspSession> session_;
};

TEST_F(IspStages, ConnectOpensWithTheProfileAndClosesAtOnce) {
    EXPECT_EQ(session_->OnBConnect(), 1);
    EXPECT_TRUE(session_->m_bConfigured);
    const std::vector<IspCall> expected = {
        {"IspOpen", {64, 64, 6144, 0x7000, 0xEDFF, 0xFFDE, 0xFF06, 1, 4, 0}}, {"IspClose", {}}};
    EXPECT_EQ(Recorder().calls, expected);
}

TEST_F(IspStages, ConnectThatFindsNoMcuClosesAndStaysConfigured) {
    Recorder().script.open = [](int) { return 1; };
    session_->m_nProgress = 17;
    EXPECT_EQ(session_->OnBConnect(), 0);
    EXPECT_TRUE(session_->m_bConfigured);
    EXPECT_EQ(session_->m_nProgress, 17);
    EXPECT_EQ(Recorder().Names(), (Names{"IspOpen", "IspClose"}));
}

TEST_F(IspStages, ProfileChoosesTheEndOfFlash1) {
    EXPECT_EQ(session_->InitMcuProfile(TRUE), 0);
    EXPECT_EQ(session_->m_profile.flash1Last, 0xEFFFu);
    EXPECT_EQ(session_->InitMcuProfile(FALSE), 0);
    EXPECT_EQ(session_->m_profile.flash1Last, 0xEDFFu);
    EXPECT_EQ(session_->m_profile.mcuName, "908JR32");
    EXPECT_EQ(session_->m_profile.mcuCode, "1L30P");
    EXPECT_EQ(session_->m_profile.checksumFirst, 0xF600u);
    EXPECT_EQ(session_->m_profile.checksumLast, 0xF7FDu);
}

TEST_F(IspStages, VerifyWalksFlash1AndReportsTheFirstHalfOfTheBar) {
    Ready();
    EXPECT_EQ(Debugger(&CIspSession::OnBVerify), "VerifyAll begin");
    const auto blocks = Recorder().CallsNamed("IspVerifyBlock");
    ASSERT_EQ(blocks.size(), 63u);
    EXPECT_EQ(blocks.front().args, (std::vector<DWORD>{0x7000, 0x70, 0x71FF, 0x71, 0x200, 2, 512}));
    EXPECT_EQ(blocks.back().args, (std::vector<DWORD>{0xEC00, 0xEC, 0xEDFF, 0xED, 0x200, 2, 512}));
    EXPECT_TRUE(Recorder().imageAndMapPassed);

    const std::vector<WPARAM> progress = Recorder().Progress();
    EXPECT_EQ(progress, ExpectedProgress(0));
    ASSERT_GE(progress.size(), 6u);
    EXPECT_EQ(std::vector<WPARAM>(progress.begin(), progress.begin() + 6),
              (std::vector<WPARAM>{0, 0, 1, 2, 3, 3}));
    EXPECT_EQ(progress.back(), 49u);
    for (const auto& m : Recorder().messages) {
        EXPECT_EQ(m.hWnd, kWindow);
        EXPECT_EQ(m.message, static_cast<UINT>(WM_UPDATE_PROGRESS));
        EXPECT_EQ(m.lParam, 0);
    }
    EXPECT_EQ(Recorder().Names().front(), "IspOpen");
    EXPECT_EQ(Recorder().Names().back(), "IspClose");
    EXPECT_EQ(session_->m_nProgress, 49);
}

TEST_F(IspStages, ProgramReportsTheSecondHalfOfTheBar) {
    Ready();
    EXPECT_EQ(Debugger(&CIspSession::OnBProgram), "ProgramAll begin");
    const auto blocks = Recorder().CallsNamed("IspProgramBlock");
    ASSERT_EQ(blocks.size(), 63u);
    EXPECT_EQ(blocks.front().args, (std::vector<DWORD>{0x7000, 0x70, 0x71FF, 0x71, 0x200, 2, 512}));
    EXPECT_EQ(blocks.back().args, (std::vector<DWORD>{0xEC00, 0xEC, 0xEDFF, 0xED, 0x200, 2, 512}));
    const std::vector<WPARAM> progress = Recorder().Progress();
    EXPECT_EQ(progress, ExpectedProgress(50));
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), 50u);
    EXPECT_EQ(progress.back(), 99u);
    EXPECT_EQ(Recorder().Names().back(), "IspClose");
}

TEST_F(IspStages, FailedBlockStopsTheWalkWithoutAMessage) {
    struct Case {
        int (CIspSession::*stage)();
        bool verify;
        int expectedStage;
    };
    // The verify stage reports success whatever the flash held; a partly programmed flash
    // must fail the program stage.
    const Case cases[] = {{&CIspSession::OnBVerify, true, 1}, {&CIspSession::OnBProgram, false, 0}};
    for (const Case& c : cases) {
        Ready();
        auto failAt5 = [](int k) { return k == 5 ? 3 : 0; };
        (c.verify ? Recorder().script.verifyBlock : Recorder().script.programBlock) = failAt5;
        EXPECT_EQ((session_.get()->*c.stage)(), c.expectedStage);
        const char* block = c.verify ? "IspVerifyBlock" : "IspProgramBlock";
        EXPECT_EQ(Recorder().CallsNamed(block).size(), 6u);
        const auto all = ExpectedProgress(c.verify ? 0 : 50);
        EXPECT_EQ(Recorder().Progress(), std::vector<WPARAM>(all.begin(), all.begin() + 5));
        EXPECT_EQ(Recorder().Names().back(), "IspClose");
    }
}

TEST_F(IspStages, ProgramAllReportsWhetherEveryBlockWasProgrammed) {
    Ready();
    EXPECT_EQ(session_->ProgramAll(session_->m_image, session_->m_pageMap), 1);
    nerith::test::ResetRecorder();
    Recorder().script.programBlock = [](int k) { return k == 62 ? 1 : 0; };
    EXPECT_EQ(session_->ProgramAll(session_->m_image, session_->m_pageMap), 0);
}

TEST_F(IspStages, StagesRefuseToRunWithoutTheirPreconditions) {
    struct Case {
        const char* stage;
        int (CIspSession::*run)();
        BOOL configured;
        BOOL loaded;
    };
    const Case cases[] = {
        {"verify", &CIspSession::OnBVerify, FALSE, TRUE},
        {"verify", &CIspSession::OnBVerify, TRUE, FALSE},
        {"program", &CIspSession::OnBProgram, FALSE, TRUE},
        {"program", &CIspSession::OnBProgram, TRUE, FALSE},
        {"erase", &CIspSession::OnBMasserase, FALSE, TRUE},
        {"checksum", &CIspSession::OnBCheckSum, TRUE, FALSE},
    };
    for (const Case& c : cases) {
        CIspSession session;
        session.InitMcuProfile(FALSE);
        session.m_bConfigured = c.configured;
        session.m_bLoaded = c.loaded;
        nerith::test::ResetRecorder();
        EXPECT_EQ((session.*c.run)(), 0) << c.stage;
        EXPECT_TRUE(Recorder().calls.empty()) << c.stage;
    }
    CIspSession loadedOnly;
    loadedOnly.m_bLoaded = TRUE;
    EXPECT_EQ(loadedOnly.OnBCheckSum(), 1) << "the checksum needs no configuration";
}

TEST_F(IspStages, LibraryThatDoesNotOpen) {
    Ready();
    Recorder().script.open = [](int) { return 1; };
    EXPECT_EQ(Debugger(&CIspSession::OnBVerify), "OnBVerify Fail to open device !");
    EXPECT_EQ(Recorder().Names(), (Names{"IspOpen", "IspClose"}));
    EXPECT_EQ(session_->OnBVerify(), 1);

    nerith::test::ResetRecorder();
    Recorder().script.open = [](int) { return 1; };
    EXPECT_EQ(session_->OnBProgram(), 0);
    EXPECT_EQ(Recorder().Names(), (Names{"IspOpen", "IspClose"}));

    nerith::test::ResetRecorder();
    Recorder().script.open = [](int) { return 1; };
    EXPECT_EQ(session_->EraseAll(), 2);
    EXPECT_EQ(Recorder().Names(), (Names{"IspOpen"}));
    EXPECT_EQ(session_->OnBMasserase(), 0);
}

TEST_F(IspStages, EraseOfTheUpdatersProfileIsOneRangeCall) {
    Ready();
    EXPECT_EQ(Debugger(&CIspSession::OnBMasserase), "OnBMasserase begin\n");
    const std::vector<IspCall> expected = {
        {"IspOpen", {64, 64, 6144, 0x7000, 0xEDFF, 0xFFDE, 0xFF06, 1, 4, 0}},
        {"IspEraseRange", {0x00, 0x70, 0xFF, 0xED, 512}},
        {"IspClose", {}}};
    EXPECT_EQ(Recorder().calls, expected);
    EXPECT_TRUE(Recorder().messages.empty());
    EXPECT_EQ(session_->m_nProgress, 0);
}

TEST_F(IspStages, FailedEraseClosesAndFailsTheStage) {
    Ready();
    Recorder().script.eraseRange = 1;
    EXPECT_EQ(session_->OnBMasserase(), 0);
    EXPECT_EQ(Recorder().Names(), (Names{"IspOpen", "IspEraseRange", "IspClose"}));
}

TEST_F(IspStages, VectorRegionIsErasedAfterASecondOpenAndWalkedWithoutProgress) {
    Ready();
    session_->m_profile.vectorEnabled = TRUE;
    EXPECT_EQ(session_->OnBMasserase(), 1);
    EXPECT_EQ(Recorder().Names(),
              (Names{"IspOpen", "IspEraseRange", "IspOpen", "IspEraseRange", "IspClose"}));
    EXPECT_EQ(Recorder().CallsNamed("IspEraseRange").back().args,
              (std::vector<DWORD>{0xDE, 0xFF, 0xFF, 0xFF, 512}));

    nerith::test::ResetRecorder();
    EXPECT_EQ(session_->OnBProgram(), 1);
    const auto blocks = Recorder().CallsNamed("IspProgramBlock");
    ASSERT_EQ(blocks.size(), 64u);
    EXPECT_EQ(blocks.back().args, (std::vector<DWORD>{0xFFDE, 0xFF, 0xFFFF, 0xFF, 34, 0, 512}));
    EXPECT_EQ(Recorder().messages.size(), 63u);

    nerith::test::ResetRecorder();
    Recorder().script.verifyBlock = [](int k) { return k == 63 ? 1 : 0; };
    EXPECT_EQ(session_->VerifyAll(session_->m_image, session_->m_pageMap), 0);
}

TEST_F(IspStages, WholeEraseUsesMassEraseOnly) {
    Ready();
    session_->m_profile.wholeErase = TRUE;
    EXPECT_EQ(session_->OnBMasserase(), 1);
    EXPECT_EQ(Recorder().Names(), (Names{"IspOpen", "IspMassErase", "IspClose"}));
    EXPECT_EQ(Recorder().calls.front().args.back(), 1u) << "wholeErase is IspOpen's tenth argument";

    nerith::test::ResetRecorder();
    Recorder().script.massErase = 4;
    EXPECT_EQ(session_->OnBMasserase(), 0);
    nerith::test::ResetRecorder();
    Recorder().script.open = [](int) { return 1; };
    EXPECT_EQ(session_->OnBMasserase(), 0);
    EXPECT_EQ(Recorder().Names(), (Names{"IspOpen"}));
}

TEST_F(IspStages, Flash2TakesPartOnlyWithBothFlagsAndMovesTheStartAddress) {
    Ready();
    McuProfile& p = session_->m_profile;
    p.dualFlash = TRUE;
    p.flash2First = 0x4000;
    p.flash2Last = 0x43FF;
    p.flash2Block = 256;
    EXPECT_EQ(session_->OnBProgram(), 1);
    EXPECT_EQ(Recorder().calls.front().args[3], 0x4000u);
    EXPECT_EQ(Recorder().CallsNamed("IspProgramBlock").size(), 63u);

    nerith::test::ResetRecorder();
    p.flash2Enabled = TRUE;
    EXPECT_EQ(session_->OnBProgram(), 1);
    const auto blocks = Recorder().CallsNamed("IspProgramBlock");
    ASSERT_EQ(blocks.size(), 67u);
    EXPECT_EQ(blocks[63].args, (std::vector<DWORD>{0x4000, 0x40, 0x40FF, 0x40, 256, 1, 512}))
        << "the block-size argument is flash1Block in every region";
    const auto progress = Recorder().Progress();
    EXPECT_EQ(std::vector<WPARAM>(progress.end() - 4, progress.end()),
              (std::vector<WPARAM>{50, 62, 75, 87}));

    nerith::test::ResetRecorder();
    EXPECT_EQ(session_->OnBMasserase(), 1);
    EXPECT_EQ(Recorder().CallsNamed("IspEraseRange").back().args,
              (std::vector<DWORD>{0x00, 0x40, 0xFF, 0x43, 256}));
}

// Verify, program and erase go through the same regions in the same order, and a region that
// fails leaves every later one untouched.
TEST_F(IspStages, EveryPassWalksTheRegionsInOneOrderAndStopsAtAFailure) {
    std::vector<DWORD> firsts; // Flash #1, then VECTOR, then Flash #2
    for (DWORD k = 0; k < 63; ++k) {
        firsts.push_back(0x7000 + 512 * k);
    }
    firsts.push_back(0xFFDE);
    for (DWORD k = 0; k < 4; ++k) {
        firsts.push_back(0x4000 + 256 * k);
    }
    struct Case {
        bool verify;
        int failAt; // block index that fails, -1 for none
        std::size_t messages;
    };
    const Case cases[] = {{true, -1, 67},  {false, -1, 67}, {true, 63, 63},
                          {false, 63, 63}, {true, 65, 64},  {false, 10, 10}};
    for (const Case& c : cases) {
        Ready();
        McuProfile& p = session_->m_profile;
        p.vectorEnabled = TRUE;
        p.dualFlash = TRUE;
        p.flash2Enabled = TRUE;
        p.flash2First = 0x4000;
        p.flash2Last = 0x43FF;
        p.flash2Block = 256;
        const int failAt = c.failAt;
        auto script = [failAt](int k) { return k == failAt ? 2 : 0; };
        (c.verify ? Recorder().script.verifyBlock : Recorder().script.programBlock) = script;
        const int result = c.verify ? session_->VerifyAll(session_->m_image, session_->m_pageMap)
                                    : session_->ProgramAll(session_->m_image, session_->m_pageMap);
        EXPECT_EQ(result, c.failAt < 0 ? 1 : 0) << c.verify << " " << c.failAt;
        std::vector<DWORD> walked;
        for (const IspCall& call :
             Recorder().CallsNamed(c.verify ? "IspVerifyBlock" : "IspProgramBlock")) {
            walked.push_back(call.args[0]);
        }
        const std::size_t expected = c.failAt < 0 ? firsts.size() : c.failAt + 1;
        EXPECT_EQ(walked, std::vector<DWORD>(firsts.begin(), firsts.begin() + expected))
            << c.verify << " " << c.failAt;
        EXPECT_EQ(Recorder().messages.size(), c.messages) << c.verify << " " << c.failAt;
    }

    nerith::test::ResetRecorder();
    EXPECT_EQ(session_->EraseAll(), 0);
    std::vector<DWORD> erased;
    for (const IspCall& call : Recorder().CallsNamed("IspEraseRange")) {
        erased.push_back(call.args[1] << 8 | call.args[0]);
    }
    EXPECT_EQ(erased, (std::vector<DWORD>{0x7000, 0xFFDE, 0x4000}));
    EXPECT_EQ(Recorder().CallsNamed("IspOpen").size(), 3u);
}

TEST_F(IspStages, UnusualRegionsAreWalkedSafely) {
    struct Case {
        DWORD first;
        DWORD last;
        DWORD block;
        std::vector<std::vector<DWORD>> calls;
        std::size_t messages;
    };
    const Case cases[] = {
        {0x7100, 0x7000, 512, {}, 0},                                            // first above last
        {0x7000, 0x7100, 512, {{0x7000, 0x70, 0x7100, 0x71, 0x101, 1, 512}}, 1}, // short block
        {0x7000, 0x7000, 512, {{0x7000, 0x70, 0x7000, 0x70, 1, 0, 512}}, 0},     // one address
        {0x7000, 0x7FFF, 0, {}, 0},                                              // no block size
    };
    for (const Case& c : cases) {
        Ready();
        session_->m_profile.flash1First = c.first;
        session_->m_profile.flash1Last = c.last;
        session_->m_profile.flash1Block = c.block == 0 ? 512 : c.block;
        session_->m_profile.vectorEnabled = c.block == 0;
        session_->m_profile.vectorFirst = c.first;
        session_->m_profile.vectorLast = c.last;
        session_->m_profile.vectorBlock = c.block;
        if (c.block == 0) {
            session_->m_profile.flash1Last = c.first - 1;
            EXPECT_EQ(session_->ProgramAll(session_->m_image, session_->m_pageMap), 0);
            EXPECT_TRUE(Recorder().CallsNamed("IspProgramBlock").empty());
            continue;
        }
        EXPECT_EQ(session_->ProgramAll(session_->m_image, session_->m_pageMap), 1);
        std::vector<std::vector<DWORD>> args;
        for (const auto& call : Recorder().CallsNamed("IspProgramBlock")) {
            args.push_back(call.args);
        }
        EXPECT_EQ(args, c.calls) << std::hex << c.first << "-" << c.last;
        EXPECT_EQ(Recorder().messages.size(), c.messages) << std::hex << c.first << "-" << c.last;
    }
}

TEST_F(IspStages, NoWindowMeansNoMessages) {
    Ready();
    session_->m_hNotifyWnd = nullptr;
    EXPECT_EQ(session_->OnBProgram(), 1);
    EXPECT_TRUE(Recorder().messages.empty());
    EXPECT_EQ(session_->m_nProgress, 99);
}

} // namespace
