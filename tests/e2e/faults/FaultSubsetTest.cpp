// The fault matrix through the real nerith-update: the first, a middle and the last block of
// each kind of fault, the connection and driver faults, event words and a replug. Every block
// index is run at the session level (tests/integration/faults); here the point is what the
// user sees: the right notice, a clean exit on its OK, no file left, the flash as told.
#include "CarriedImage.h"
#include "UpdateFixture.h"

#include <cstdio>

namespace nerith::e2e {
namespace {

constexpr std::size_t kBlockSize = 512;

enum class FlashAfter { Untouched, Image, ProgrammedBelow, StuckCell };

struct FaultCase {
    std::string label;
    std::vector<std::string> deviceArguments;
    bool prompt; // the device reports a newer version: the downgrade prompt is accepted
    Screen notice;
    FlashAfter flash;
    std::size_t block = 0;
    std::vector<std::string> beforeOk = {}; // control commands while the main window shows
};

// A device one version behind, so no prompt; except for the verify cases, whose device holds
// the image itself (so the verify walks every block) and reports it in the little-endian form
// that reads as a newer version.
std::vector<std::string> Older(const std::string& fault) {
    return {"--image-version=1,63", fault};
}
std::vector<std::string> SameFlash(const std::string& fault) {
    return {"--version-form=second", fault};
}

class FaultSubsetTest : public UpdateTest {
protected:
    void RunCases(const std::vector<FaultCase>& cases) {
        int passed = 0;
        for (const FaultCase& c : cases) {
            const int failuresBefore = FailureCount();
            RunCase(c);
            const bool ok = FailureCount() == failuresBefore;
            passed += ok ? 1 : 0;
            std::printf("fault subset | %-34s | %s\n", c.label.c_str(), ok ? "passed" : "FAILED");
        }
        std::printf("fault subset | %zu cases | %d passed\n", cases.size(), passed);
    }

    static int FailureCount() {
        return ::testing::UnitTest::GetInstance()
            ->current_test_info()
            ->result()
            ->total_part_count();
    }

    void RunCase(const FaultCase& c) {
        SCOPED_TRACE(c.label);
        const int failuresBefore = FailureCount();
        const auto failed = [&] { return FailureCount() != failuresBefore; };
        const View main = StartAndShowMain(c.deviceArguments);
        if (failed()) {
            return;
        }
        for (const std::string& command : c.beforeOk) {
            EXPECT_EQ(devsim_->Control(command).rfind("ok", 0), 0u) << command;
        }
        ASSERT_TRUE(updater_->ClickOk(main));
        if (c.prompt) {
            const View prompt = WaitFor(Screen::Prompt);
            ASSERT_FALSE(failed());
            ASSERT_TRUE(updater_->ClickOk(prompt));
        }
        const View notice = WaitFor(c.notice, 40s);
        ASSERT_FALSE(failed());
        ExpectExitAfterOk(notice);
        EXPECT_TRUE(TempFiles().empty());
        ExpectFlash(c);
        updater_.reset();
        devsim_.reset();
    }

    void ExpectFlash(const FaultCase& c) {
        const std::vector<std::uint8_t> flash = Flash();
        ASSERT_EQ(flash.size(), 0x10000u);
        if (c.flash == FlashAfter::Untouched) {
            EXPECT_EQ(flash, initialFlash_);
            EXPECT_EQ(DeviceCount("program"), 0u);
            return;
        }
        const std::vector<std::uint8_t> flash1 = demo::Flash1Of(flash);
        const std::vector<std::uint8_t>& reference = ReferenceFlash1();
        ASSERT_EQ(flash1.size(), reference.size());
        if (c.flash == FlashAfter::Image) {
            EXPECT_TRUE(flash1 == reference) << "Flash #1 differs from the image";
            return;
        }
        const std::size_t split = c.block * kBlockSize;
        int stuck = 0;
        for (std::size_t i = 0; i < flash1.size(); ++i) {
            const bool inBlock = i >= split && i < split + kBlockSize;
            const std::uint8_t expected = i < split ? reference[i] : 0xFF;
            if (c.flash == FlashAfter::StuckCell && inBlock && flash1[i] != reference[i]) {
                stuck += flash1[i] == 0xFF ? 1 : 100;
                continue;
            }
            if (!(c.flash == FlashAfter::StuckCell && inBlock) && flash1[i] != expected) {
                ADD_FAILURE() << "Flash #1 offset " << i << " is " << int(flash1[i]);
                return;
            }
        }
        EXPECT_EQ(stuck, c.flash == FlashAfter::StuckCell ? 1 : 0) << "one cell stays erased";
    }
};

TEST_F(FaultSubsetTest, VerifyFaultsAtTheFirstMiddleAndLastBlock) {
    std::vector<FaultCase> cases;
    for (int k : {0, 31, 62}) {
        const std::string n = std::to_string(k);
        cases.push_back({"verify-at:" + n, SameFlash("--fault=verify-at:" + n), true,
                         Screen::Success, FlashAfter::Image});
        cases.push_back({"vanish-verify-at:" + n, SameFlash("--fault=vanish-verify-at:" + n), true,
                         Screen::Failure, FlashAfter::Untouched});
    }
    RunCases(cases);
}

// Block 62 lies in a part of Flash #1 the image leaves empty: a stuck cell there loses nothing.
TEST_F(FaultSubsetTest, EraseAndProgramFaultsAtTheFirstMiddleAndLastBlock) {
    std::vector<FaultCase> cases = {
        {"erase fails", Older("--fault=erase"), false, Screen::Failure, FlashAfter::Untouched},
        {"vanish-erase", Older("--fault=vanish-erase"), false, Screen::Failure,
         FlashAfter::Untouched},
        {"program-at:62", Older("--fault=program-at:62"), false, Screen::Success,
         FlashAfter::Image},
    };
    for (std::size_t k : {0u, 31u}) {
        const std::string n = std::to_string(k);
        cases.push_back({"program-at:" + n, Older("--fault=program-at:" + n), false,
                         Screen::Failure, FlashAfter::StuckCell, k});
    }
    for (std::size_t k : {0u, 31u, 62u}) {
        const std::string n = std::to_string(k);
        cases.push_back({"vanish-at:" + n, Older("--fault=vanish-at:" + n), false, Screen::Failure,
                         FlashAfter::ProgrammedBelow, k});
    }
    RunCases(cases);
}

TEST_F(FaultSubsetTest, ConnectionDriverEventAndReplugFaults) {
    std::vector<FaultCase> cases;
    for (int attempt : {1, 2, 29, 30}) {
        cases.push_back({"answers on attempt " + std::to_string(attempt),
                         Older("--answer-after=" + std::to_string(attempt - 1)), false,
                         Screen::Success, FlashAfter::Image});
    }
    cases.push_back({"never answers", Older("--fault=no-answer"), false, Screen::Failure,
                     FlashAfter::Untouched});
    cases.push_back({"IOCTL_ENTER_ICP refused", Older("--fault=icp-refused"), false,
                     Screen::Failure, FlashAfter::Untouched});
    cases.push_back({"registration refused", Older("--fault=register-refused"), false,
                     Screen::Failure, FlashAfter::Untouched});
    cases.push_back({"event words before OK",
                     std::vector<std::string>{"--image-version=1,63"},
                     false,
                     Screen::Success,
                     FlashAfter::Image,
                     0,
                     {"event 0x101", "event 0x202", "event 0x303"}});
    // The channel opened at start-up does not survive a replug: the run cannot ask the version.
    cases.push_back({"replugged before OK",
                     std::vector<std::string>{"--image-version=1,63"},
                     false,
                     Screen::Failure,
                     FlashAfter::Untouched,
                     0,
                     {"replug"}});
    RunCases(cases);
}

} // namespace
} // namespace nerith::e2e
