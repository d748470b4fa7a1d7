// The fault matrix at the session level: the real ISP library and the driver channel against
// one nerith-devsim, a fault injected at every block of Flash #1 during verify, erase and
// program, and the connection and driver faults around them. Each case checks the outcome the
// user would be shown and the flash the device is left with.
#include "DevsimProcess.h"
#include "DriverChannel.h"
#include "ProgressHook.h"
#include "S19Image.h"
#include "SessionRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

namespace {

using nerith::test::DevsimProcess;
using nerith::test::S19Image;

constexpr unsigned kFlash1First = 0x7000;
constexpr unsigned kFlash1End = 0xEE00;
constexpr unsigned kBlockSize = 512;
constexpr unsigned kBlocks = 63;
// A byte of the old firmware in a page the image leaves empty: the erase must clear it.
constexpr std::uint16_t kMarkerAddress = 0xD000;

enum class FlashAfter {
    Untouched,       // the old firmware, as before the run
    Image,           // Flash #1 holds the image
    ProgrammedBelow, // blocks below `block` hold the image, the rest of Flash #1 is erased
    StuckCell,       // as ProgrammedBelow, and `block` holds the image but for one byte
};

struct Expect {
    bool success = false;
    FlashAfter flash = FlashAfter::Untouched;
    unsigned block = 0;
    int connectAttempts = -1; // -1: not checked
    bool sessionBuilt = true;
};

struct Case {
    std::string label;
    std::vector<std::string> commands; // control commands after the reset
    Expect expect;
    std::function<void(WPARAM)> onProgress;
};

struct Row {
    std::string kind;
    int run = 0;
    int passed = 0;
};

class FaultMatrix : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(nerith::test::ReadS19Image(NERITH_CARRIED_IMAGE, Image(), &error)) << error;
        g_hEventSemaphore = CreateSemaphoreA(nullptr, 0, 100, nullptr);
        HANDLE thread = CreateThread(nullptr, 4096, DeviceEventThread, nullptr, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        CloseHandle(thread);
    }
    static S19Image& Image() {
        static S19Image image;
        return image;
    }

    void SetUp() override {
        devsim_ = std::make_unique<DevsimProcess>();
        ASSERT_TRUE(devsim_->Running()) << devsim_->Error();
        devsim_->UseAsDeviceFolder();
        ASSERT_FALSE(Image().pages[kMarkerAddress / 64]) << "the marker must lie outside the image";
        oldFirmware_ = devsim_->Folder() + "/old.s19";
        ASSERT_TRUE(WriteOldFirmware(oldFirmware_));
        std::string error;
        ASSERT_TRUE(nerith::test::ReadS19Image(oldFirmware_, old_, &error)) << error;
    }
    void TearDown() override {
        CloseChannel();
        PrintRows();
    }

    // The carried image with one more byte, the marker, in a page the image leaves empty.
    static bool WriteOldFirmware(const std::string& path) {
        std::ifstream in(NERITH_CARRIED_IMAGE);
        std::ofstream out(path);
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("S9", 0) == 0) {
                out << nerith::test::S1Record(kMarkerAddress, {0x00}) << "\r\n";
            }
            out << line << "\n";
        }
        return static_cast<bool>(out);
    }

    static void CloseChannel() {
        if (const HANDLE hDriver = g_hDriver.exchange(nullptr)) {
            CloseHandle(hDriver);
        }
    }

    // The device as the user left it: firmware running the old image, no fault, no handles.
    std::string Reset(const std::vector<std::string>& commands) {
        CloseChannel();
        for (const std::string& command :
             {std::string("clear-faults"), std::string("replug"), "flash " + oldFirmware_}) {
            if (devsim_->Control(command) != "ok") {
                return command + ": " + devsim_->Control(command);
            }
        }
        // Event words need the semaphore registered, so they follow the channel's opening.
        std::vector<std::string> events;
        for (const std::string& command : commands) {
            if (command.rfind("event ", 0) == 0) {
                events.push_back(command);
            } else if (std::string reply = devsim_->Control(command); reply.rfind("ok", 0) != 0) {
                return std::string(command).append(": ").append(reply);
            }
        }
        OpenDriverChannel();
        for (const std::string& command : events) {
            if (std::string reply = devsim_->Control(command); reply != "ok") {
                return std::string(command).append(": ").append(reply);
            }
        }
        nerith::test::RecordedProgress().clear();
        return "";
    }

    std::vector<std::uint8_t> ExpectedFlash(const Expect& expect) const {
        std::vector<std::uint8_t> flash = old_.bytes;
        if (expect.flash == FlashAfter::Untouched) {
            return flash;
        }
        for (unsigned a = kFlash1First; a < kFlash1End; ++a) {
            const unsigned block = (a - kFlash1First) / kBlockSize;
            const bool programmed =
                expect.flash == FlashAfter::Image || block < expect.block ||
                (expect.flash == FlashAfter::StuckCell && block == expect.block);
            flash[a] = programmed ? Image().bytes[a] : 0xFF;
        }
        if (expect.flash == FlashAfter::StuckCell) {
            flash[*FirstMarked(expect.block)] = 0xFF;
        }
        return flash;
    }

    static std::optional<unsigned> FirstMarked(unsigned block) {
        const unsigned first = kFlash1First + block * kBlockSize;
        for (unsigned a = first; a < first + kBlockSize; ++a) {
            if (Image().pages[a / 64]) {
                return a;
            }
        }
        return std::nullopt;
    }

    // What differs from the expectation; empty when the case passed.
    std::string RunCase(const Case& c) {
        if (std::string error = Reset(c.commands); !error.empty()) {
            return "reset failed: " + error;
        }
        nerith::test::ProgressHook() = c.onProgress;
        const nerith::test::SessionRun run = nerith::test::RunSessionUpdate(NERITH_CARRIED_IMAGE);
        nerith::test::ProgressHook() = nullptr;
        std::ostringstream diff;
        if (run.success != c.expect.success) {
            diff << "outcome " << (run.success ? "success" : "failure") << " after "
                 << run.stagesPassed << " stages; ";
        }
        if ((run.enterIcp >= 0) != c.expect.sessionBuilt) {
            diff << (c.expect.sessionBuilt ? "no session was built; " : "a session was built; ");
        }
        if (c.expect.connectAttempts >= 0 && run.connectAttempts != c.expect.connectAttempts) {
            diff << run.connectAttempts << " connection attempts; ";
        }
        diff << FlashDifference(ExpectedFlash(c.expect));
        return diff.str();
    }

    std::string FlashDifference(const std::vector<std::uint8_t>& expected) {
        const std::vector<std::uint8_t> flash = devsim_->DumpFlash();
        if (flash.size() != expected.size()) {
            return "no flash dump";
        }
        for (std::size_t a = 0; a < flash.size(); ++a) {
            if (flash[a] != expected[a]) {
                char text[96];
                std::snprintf(text, sizeof(text), "flash 0x%04zX is 0x%02X, expected 0x%02X", a,
                              flash[a], expected[a]);
                return text;
            }
        }
        return "";
    }

    void RunRow(const std::string& kind, const std::vector<Case>& cases) {
        Row row{kind, 0, 0};
        for (const Case& c : cases) {
            const std::string difference = RunCase(c);
            EXPECT_EQ(difference, "") << kind << ": " << c.label;
            ++row.run;
            row.passed += difference.empty() ? 1 : 0;
        }
        rows_.push_back(row);
    }

    void PrintRows() const {
        for (const Row& row : rows_) {
            std::printf("fault matrix | %-44s | %3d cases | %3d passed\n", row.kind.c_str(),
                        row.run, row.passed);
        }
    }

    std::unique_ptr<DevsimProcess> devsim_;
    std::string oldFirmware_;
    S19Image old_;
    std::vector<Row> rows_;
    bool replugged_ = false;
};

bool WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 5000 && !done(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

std::string At(const char* fault, unsigned k) {
    return std::string("fault ") + fault + std::to_string(k);
}

// The verify runs before the erase and does not decide the outcome by itself: a block that
// fails to verify still ends in a programmed device; a device gone during it fails the erase.
TEST_F(FaultMatrix, VerifyFaultAtEveryBlock) {
    std::vector<Case> failing;
    std::vector<Case> vanishing;
    for (unsigned k = 0; k < kBlocks; ++k) {
        failing.push_back({"verify-at:" + std::to_string(k),
                           {At("verify-at:", k)},
                           {true, FlashAfter::Image, 0, 1, true},
                           nullptr});
        vanishing.push_back({"vanish-verify-at:" + std::to_string(k),
                             {At("vanish-verify-at:", k)},
                             {false, FlashAfter::Untouched, 0, 1, true},
                             nullptr});
    }
    RunRow("verify: block fails (k = 0..62)", failing);
    RunRow("verify: device vanishes (k = 0..62)", vanishing);
}

TEST_F(FaultMatrix, EraseFaultAtTheEraseRequest) {
    RunRow("erase: request fails",
           {{"erase", {"fault erase"}, {false, FlashAfter::Untouched, 0, 1, true}, nullptr}});
    RunRow("erase: device vanishes", {{"vanish-erase",
                                       {"fault vanish-erase"},
                                       {false, FlashAfter::Untouched, 0, 1, true},
                                       nullptr}});
}

// A stuck cell is found by the read-back and fails the update; in a block that the image
// leaves empty, or where the image's byte is the erased value, nothing is lost and the update
// succeeds.
TEST_F(FaultMatrix, ProgramFaultAtEveryBlock) {
    std::vector<Case> failing;
    std::vector<Case> vanishing;
    for (unsigned k = 0; k < kBlocks; ++k) {
        const std::optional<unsigned> stuck = FirstMarked(k);
        const bool harmful = stuck && Image().bytes[*stuck] != 0xFF;
        const Expect expect = harmful ? Expect{false, FlashAfter::StuckCell, k, 1, true}
                                      : Expect{true, FlashAfter::Image, 0, 1, true};
        failing.push_back(
            {"program-at:" + std::to_string(k), {At("program-at:", k)}, expect, nullptr});
        vanishing.push_back({"vanish-at:" + std::to_string(k),
                             {At("vanish-at:", k)},
                             {false, FlashAfter::ProgrammedBelow, k, 1, true},
                             nullptr});
    }
    RunRow("program: block fails (k = 0..62)", failing);
    RunRow("program: device vanishes (k = 0..62)", vanishing);
}

TEST_F(FaultMatrix, ConnectionAndDriverFaults) {
    std::vector<Case> answering;
    for (int attempt : {1, 2, 29, 30}) {
        answering.push_back({"answers on attempt " + std::to_string(attempt),
                             {"answer-after " + std::to_string(attempt - 1)},
                             {true, FlashAfter::Image, 0, attempt, true},
                             nullptr});
    }
    answering.push_back({"answers on attempt 31",
                         {"answer-after 30"},
                         {false, FlashAfter::Untouched, 0, 30, true},
                         nullptr});
    answering.push_back({"never answers",
                         {"fault no-answer"},
                         {false, FlashAfter::Untouched, 0, 30, true},
                         nullptr});
    RunRow("connection: answers on attempt 1, 2, 29, 30, 31, never", answering);

    RunRow("driver: IOCTL_ENTER_ICP refused", {{"icp-refused",
                                                {"fault icp-refused"},
                                                {false, FlashAfter::Untouched, 0, 30, true},
                                                nullptr}});
    RunRow("driver: semaphore registration refused", {{"register-refused",
                                                       {"fault register-refused"},
                                                       {false, FlashAfter::Untouched, 0, -1, false},
                                                       nullptr}});
}

TEST_F(FaultMatrix, EventWordsAndReplugDuringTheRun) {
    std::vector<Case> cases;
    // Words queued before OK reach the event thread while the run uses the same channel.
    cases.push_back({"event words during the run",
                     {"event 0x11", "event 0x22", "event 0x33", "event 0x44"},
                     {true, FlashAfter::Image, 0, 1, true},
                     nullptr});
    RunRow("events: words arrive during the run", cases);
    EXPECT_TRUE(WaitFor([] { return g_dwDeviceEvent.load() == 0x44u; }));
    EXPECT_EQ(devsim_->Count("get_event"), 4u);

    std::vector<Case> replugs;
    const auto replugAfter = [this](WPARAM progress) {
        return [this, progress](WPARAM value) {
            if (value == progress && !replugged_) {
                replugged_ = devsim_->Control("replug") == "ok";
            }
        };
    };
    // Progress 24 follows verify block 31; 50 program block 0; 74 block 31; 98 block 61.
    replugs.push_back({"replugged in verify after block 31",
                       {},
                       {false, FlashAfter::Untouched, 0, 1, true},
                       replugAfter(24)});
    const std::pair<unsigned, WPARAM> programPoints[] = {{0, 50}, {31, 74}, {61, 98}};
    for (const auto& [block, progress] : programPoints) {
        replugs.push_back({"replugged in program after block " + std::to_string(block),
                           {},
                           {false, FlashAfter::ProgrammedBelow, block + 1, 1, true},
                           replugAfter(progress)});
    }
    for (const Case& c : replugs) {
        replugged_ = false;
        RunRow("replug: " + c.label, {c});
        EXPECT_TRUE(replugged_) << c.label;
    }
}

} // namespace
