// The fault matrix: the updater's own main window, in-process on the headless screen, runs
// the whole update from its OK button through the real ISP library against one nerith-devsim,
// with a fault injected at every block of Flash #1 during verify, erase and program, and the
// connection and driver faults around them. Each case checks the notice the user is shown,
// what reached the device and the flash it is left with.
#include "DevsimProcess.h"
#include "DriverChannel.h"
#include "ObservedUpdateDlg.h"
#include "S19Image.h"
#include "SkinTestSupport.h"
#include "UpdateApp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

namespace {

using nerith::test::DevsimProcess;
using nerith::test::S19Image;
using skintest::Do;
using skintest::ScriptRunner;
using skintest::Until;

constexpr unsigned kFlash1First = 0x7000;
constexpr unsigned kFlash1End = 0xEE00;
constexpr unsigned kBlockSize = 512;
constexpr unsigned kBlocks = 63;
// A byte of the old firmware in a page the image leaves empty: the erase must clear it.
constexpr std::uint16_t kMarkerAddress = 0xD000;
// Where the firmware keeps its version, bytes 0 and 1 of the driver's reply.
constexpr std::uint16_t kVersionAddress = 0xDE00;
// The stages that open the ISP library after a connection: verify, erase, program.
constexpr int kStageOpens = 3;

// What the device runs when OK is pressed.
enum class OldFirmware {
    // The image's bytes but version 1.0, so the update starts without a question. The verify
    // then stops at the version's block.
    Older,
    // The image's own bytes, so the verify passes every block. The driver gives the version
    // only in its second reply (read as 16,385), and the user accepts the downgrade prompt.
    AsImage,
};

enum class FlashAfter {
    Untouched,       // the old firmware, as before the run
    Image,           // Flash #1 holds the image
    ProgrammedBelow, // blocks below `block` hold the image, the rest of Flash #1 is erased
    StuckCell,       // as ProgrammedBelow, and `block` holds the image but for one byte
};

struct Expect {
    Popup notice = Popup::FailureNotice;
    FlashAfter flash = FlashAfter::Untouched;
    unsigned block = 0;
    int ispOpens = -1; // ISP open requests that reached the device; -1: not checked
    bool sessionBuilt = true;
};

Expect Success(int ispOpens = 1 + kStageOpens) {
    return {Popup::SuccessNotice, FlashAfter::Image, 0, ispOpens, true};
}

Expect Failure(FlashAfter flash, unsigned block, int ispOpens) {
    return {Popup::FailureNotice, flash, block, ispOpens, true};
}

struct Case {
    std::string label;
    std::vector<std::string> commands; // control commands after the reset
    Expect expect;
    std::function<void(WPARAM)> onProgress;
    std::function<std::string()> check; // more to check at the run's end; "" when it holds
    OldFirmware firmware = OldFirmware::Older;
};

struct Row {
    std::string kind;
    std::vector<Case> cases;
};

// What one press of OK showed and did.
struct RunState {
    std::string resetError;
    bool prompted = false;
    Popup shown = Popup::None;
    std::map<std::string, unsigned> statsBefore;
    std::string difference;
};

bool WaitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

unsigned Delta(const std::map<std::string, unsigned>& before,
               const std::map<std::string, unsigned>& after, const std::string& kind) {
    const auto was = before.find(kind);
    const auto now = after.find(kind);
    return (now == after.end() ? 0 : now->second) - (was == before.end() ? 0 : was->second);
}

class FaultMatrix : public usertest::WindowTest {
protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(nerith::test::ReadS19Image(NERITH_CARRIED_IMAGE, Image(), &error)) << error;
    }
    static S19Image& Image() {
        static S19Image image;
        return image;
    }

    void SetUp() override {
        usertest::WindowTest::SetUp();
        devsim_ = std::make_unique<DevsimProcess>();
        ASSERT_TRUE(devsim_->Running()) << devsim_->Error();
        devsim_->UseAsDeviceFolder();
        ::setenv("TEMP", temp_.Path().c_str(), 1);
        ASSERT_FALSE(Image().pages[kMarkerAddress / 64]) << "the marker must lie outside the image";
        for (const OldFirmware firmware : {OldFirmware::Older, OldFirmware::AsImage}) {
            Old& old = old_[static_cast<int>(firmware)];
            old.path =
                devsim_->Folder() + "/old" + std::to_string(static_cast<int>(firmware)) + ".s19";
            ASSERT_TRUE(WriteOldFirmware(old.path, firmware));
            std::string error;
            ASSERT_TRUE(nerith::test::ReadS19Image(old.path, old.image, &error)) << error;
        }
    }
    void TearDown() override {
        PrintRows();
        theApp.m_pMainWnd = nullptr;
        usertest::WindowTest::TearDown();
    }

    // The carried image with one more byte, the marker, in a page the image leaves empty.
    static bool WriteOldFirmware(const std::string& path, OldFirmware firmware) {
        std::ifstream in(NERITH_CARRIED_IMAGE);
        std::ofstream out(path);
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("S9", 0) == 0) {
                out << nerith::test::S1Record(kMarkerAddress, {0x00}) << "\r\n";
                if (firmware == OldFirmware::Older) {
                    out << nerith::test::S1Record(kVersionAddress, {1, 0}) << "\r\n";
                }
            }
            out << line << "\n";
        }
        return static_cast<bool>(out);
    }

    // The device as the user left it: firmware running the old image, no fault, and the
    // main window's channel open on it again, as a fresh start of the updater would find it.
    std::string Reset(const Case& c) {
        if (const HANDLE hDriver = g_hDriver.exchange(nullptr)) {
            CloseHandle(hDriver);
        }
        const bool older = c.firmware == OldFirmware::Older;
        for (const std::string& command :
             {std::string("clear-faults"), std::string("replug"), "flash " + Of(c).path,
              std::string(older ? "version-form first" : "version-form second")}) {
            if (std::string reply = devsim_->Control(command); reply != "ok") {
                return std::string(command).append(": ").append(reply);
            }
        }
        // Event words need the semaphore registered, so they follow the channel's opening.
        std::vector<std::string> events;
        for (const std::string& command : c.commands) {
            if (command.rfind("event ", 0) == 0) {
                events.push_back(command);
            } else if (std::string reply = devsim_->Control(command); reply.rfind("ok", 0) != 0) {
                return std::string(command).append(": ").append(reply);
            }
        }
        OpenDriverChannel();
        g_dwDeviceEvent = 0;
        for (const std::string& command : events) {
            if (std::string reply = devsim_->Control(command); reply != "ok") {
                return std::string(command).append(": ").append(reply);
            }
        }
        return "";
    }

    std::vector<std::uint8_t> ExpectedFlash(const Case& c) const {
        const Expect& expect = c.expect;
        std::vector<std::uint8_t> flash = Of(c).image.bytes;
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

    // What differs from the expectation once the run has returned; empty when the case passed.
    std::string Evaluate(const Case& c, const RunState& run) {
        std::ostringstream diff;
        if (!run.resetError.empty()) {
            diff << "reset failed: " << run.resetError << "; ";
        }
        if (run.prompted != (c.firmware == OldFirmware::AsImage)) {
            diff << (run.prompted ? "the downgrade prompt came; " : "no downgrade prompt came; ");
        }
        if (run.shown != c.expect.notice) {
            diff << PopupName(run.shown) << " was shown; ";
        }
        const auto stats = devsim_->Stats();
        if (Delta(run.statsBefore, stats, "enter_icp") != (c.expect.sessionBuilt ? 1u : 0u)) {
            diff << (c.expect.sessionBuilt ? "no session was built; " : "a session was built; ");
        }
        const unsigned opens = Delta(run.statsBefore, stats, "isp_open");
        if (c.expect.ispOpens >= 0 && opens != static_cast<unsigned>(c.expect.ispOpens)) {
            diff << opens << " ISP opens; ";
        }
        if (std::filesystem::exists(temp_.File("temp.s19"))) {
            diff << "temp.s19 was left behind; ";
        }
        if (c.check) {
            diff << c.check();
        }
        diff << FlashDifference(ExpectedFlash(c));
        return diff.str();
    }

    // Runs every case of every row in one main window, as a user who presses OK, closes the
    // notice with Esc (which leaves the window open) and presses OK again. The time-out only
    // guards against a hang.
    void RunRows(const std::vector<Row>& rows) {
        std::vector<const Case*> cases;
        for (const Row& row : rows) {
            for (const Case& c : row.cases) {
                cases.push_back(&c);
            }
        }
        std::vector<RunState> runs(cases.size());
        CObservedUpdateDlg dlg;
        std::vector<ScriptRunner::Step> steps{
            Until("the main window", [&dlg] { return dlg.m_hWnd && dlg.IsWindowVisible(); })};
        for (std::size_t i = 0; i < cases.size(); ++i) {
            AddRunSteps(dlg, *cases[i], runs[i], static_cast<int>(i) + 1, steps);
        }
        steps.push_back(Do([&dlg] { dlg.PostMessage(WM_COMMAND, IDCANCEL, 0); }));
        const auto guard = std::chrono::seconds(30 + 3 * static_cast<long>(cases.size()));
        ScriptRunner script(std::move(steps), guard);
        theApp.m_pMainWnd = &dlg;
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        theApp.m_pMainWnd = nullptr;
        EXPECT_TRUE(script.Finished());

        std::size_t next = 0;
        for (const Row& row : rows) {
            Tally tally{row.kind, 0, 0};
            for (const Case& c : row.cases) {
                const std::string& difference = runs[next++].difference;
                EXPECT_EQ(difference, "") << row.kind << ": " << c.label;
                ++tally.run;
                tally.passed += difference.empty() ? 1 : 0;
            }
            tallies_.push_back(tally);
        }
    }

    // Run `number`: set the device up and press OK; answer the popup; judge the run once OK's
    // command has returned.
    void AddRunSteps(CObservedUpdateDlg& dlg, const Case& c, RunState& run, int number,
                     std::vector<ScriptRunner::Step>& steps) {
        steps.push_back(Do([this, &dlg, &c, &run] {
            run.resetError = Reset(c);
            dlg.m_onProgress = c.onProgress;
            run.statsBefore = devsim_->Stats();
            dlg.ClickOk();
        }));
        // The prompt is accepted with Enter; the notice that follows is closed with Esc.
        steps.push_back(Until(c.label + ": a notice", [&dlg, &run, number] {
            HWND hPopup = nullptr;
            const Popup shown = ShownPopup(&hPopup);
            if (shown == Popup::Prompt) {
                if (!run.prompted) {
                    usertest::Screen().PressKey(VK_RETURN);
                }
                run.prompted = true;
                return false;
            }
            run.shown = shown;
            if (shown != Popup::None) {
                usertest::Screen().PressKey(VK_ESCAPE);
                return true;
            }
            return dlg.RunsEnded() >= number;
        }));
        steps.push_back(Until(c.label + ": the run's end", [this, &dlg, &c, &run, number] {
            if (dlg.RunsEnded() < number) {
                return false;
            }
            dlg.m_onProgress = nullptr;
            run.difference = Evaluate(c, run);
            return true;
        }));
    }

    void PrintRows() const {
        for (const Tally& tally : tallies_) {
            std::printf("fault matrix | %-44s | %3d cases | %3d passed\n", tally.kind.c_str(),
                        tally.run, tally.passed);
        }
    }

    struct Tally {
        std::string kind;
        int run = 0;
        int passed = 0;
    };

    struct Old {
        std::string path;
        S19Image image;
    };
    const Old& Of(const Case& c) const { return old_[static_cast<int>(c.firmware)]; }

    std::unique_ptr<DevsimProcess> devsim_;
    nerith::test::TempFolder temp_;
    Old old_[2];
    std::vector<Tally> tallies_;
};

std::string At(const char* fault, unsigned k) {
    return std::string("fault ") + fault + std::to_string(k);
}

// The verify runs before the erase and does not decide the outcome by itself: a block that
// fails to verify still ends in a programmed device; a device gone during it fails the erase,
// whose library open then finds no device.
TEST_F(FaultMatrix, VerifyFaultAtEveryBlock) {
    Row failing{"verify: block fails (k = 0..62)", {}};
    Row vanishing{"verify: device vanishes (k = 0..62)", {}};
    for (unsigned k = 0; k < kBlocks; ++k) {
        failing.cases.push_back({"verify-at:" + std::to_string(k),
                                 {At("verify-at:", k)},
                                 Success(),
                                 nullptr,
                                 nullptr,
                                 OldFirmware::AsImage});
        vanishing.cases.push_back({"vanish-verify-at:" + std::to_string(k),
                                   {At("vanish-verify-at:", k)},
                                   Failure(FlashAfter::Untouched, 0, 2),
                                   nullptr,
                                   nullptr,
                                   OldFirmware::AsImage});
    }
    RunRows({failing, vanishing});
}

TEST_F(FaultMatrix, EraseFaultAtTheEraseRequest) {
    RunRows({{"erase: request fails",
              {{"erase", {"fault erase"}, Failure(FlashAfter::Untouched, 0, 3), nullptr, nullptr}}},
             {"erase: device vanishes",
              {{"vanish-erase",
                {"fault vanish-erase"},
                Failure(FlashAfter::Untouched, 0, 3),
                nullptr,
                nullptr}}}});
}

// A stuck cell is found by the read-back and fails the update; in a block that the image
// leaves empty, or where the image's byte is the erased value, nothing is lost and the update
// succeeds. A block the MCU refuses fails the update wherever it lies, and the blocks after it
// stay erased.
TEST_F(FaultMatrix, ProgramFaultAtEveryBlock) {
    Row stuck{"program: a cell sticks (k = 0..62)", {}};
    Row refused{"program: the MCU refuses the block (k = 0..62)", {}};
    Row vanishing{"program: device vanishes (k = 0..62)", {}};
    for (unsigned k = 0; k < kBlocks; ++k) {
        const std::string n = std::to_string(k);
        const std::optional<unsigned> cell = FirstMarked(k);
        const bool harmful = cell && Image().bytes[*cell] != 0xFF;
        stuck.cases.push_back({"program-at:" + n,
                               {At("program-at:", k)},
                               harmful ? Failure(FlashAfter::StuckCell, k, 4) : Success(),
                               nullptr,
                               nullptr});
        refused.cases.push_back({"mcu-refuses-program-at:" + n,
                                 {At("mcu-refuses-program-at:", k)},
                                 Failure(FlashAfter::ProgrammedBelow, k, 4),
                                 nullptr,
                                 nullptr});
        vanishing.cases.push_back({"vanish-at:" + n,
                                   {At("vanish-at:", k)},
                                   Failure(FlashAfter::ProgrammedBelow, k, 4),
                                   nullptr,
                                   nullptr});
    }
    RunRows({stuck, refused, vanishing});
}

// The connection is tried once a second, at most 30 times; every try is one ISP open.
TEST_F(FaultMatrix, ConnectionAndDriverFaults) {
    Row answering{"connection: answers on attempt 1, 2, 29, 30, 31, never", {}};
    for (int attempt : {1, 2, 29, 30}) {
        answering.cases.push_back({"answers on attempt " + std::to_string(attempt),
                                   {"answer-after " + std::to_string(attempt - 1)},
                                   Success(attempt + kStageOpens),
                                   nullptr,
                                   nullptr});
    }
    answering.cases.push_back({"answers on attempt 31",
                               {"answer-after 30"},
                               Failure(FlashAfter::Untouched, 0, 30),
                               nullptr,
                               nullptr});
    answering.cases.push_back({"never answers",
                               {"fault no-answer"},
                               Failure(FlashAfter::Untouched, 0, 30),
                               nullptr,
                               nullptr});
    RunRows({answering,
             {"driver: IOCTL_ENTER_ICP refused",
              {{"icp-refused",
                {"fault icp-refused"},
                Failure(FlashAfter::Untouched, 0, 30),
                nullptr,
                nullptr}}},
             {"driver: semaphore registration refused",
              {{"register-refused",
                {"fault register-refused"},
                {Popup::FailureNotice, FlashAfter::Untouched, 0, 0, false},
                nullptr,
                nullptr}}}});
}

TEST_F(FaultMatrix, EventWordsAndReplugDuringTheRun) {
    // Words queued before OK reach the event thread while the run uses the same channel.
    const auto fetchedAll = [this] {
        if (!WaitFor([] { return g_dwDeviceEvent.load() == 0x44u; })) {
            return std::string("the event thread did not fetch the last word; ");
        }
        return std::string();
    };
    Row events{"events: words arrive during the run",
               {{"event words during the run",
                 {"event 0x11", "event 0x22", "event 0x33", "event 0x44"},
                 Success(),
                 nullptr,
                 fetchedAll}}};

    std::vector<Row> rows{events};
    auto replugged = std::make_shared<bool>(false);
    const auto replugAfter = [this, replugged](WPARAM progress) {
        return [this, replugged, progress](WPARAM value) {
            if (value == progress && !*replugged) {
                *replugged = devsim_->Control("replug") == "ok";
            }
        };
    };
    const auto didReplug = [replugged] {
        const bool done = *replugged;
        *replugged = false;
        return done ? std::string() : std::string("the device was not replugged; ");
    };
    // Progress 24 follows verify block 31; 50 program block 0; 74 block 31; 98 block 61. After
    // a replug in the verify the erase finds the firmware running, not the MCU.
    rows.push_back({"replug: in verify after block 31",
                    {{"replugged in verify after block 31",
                      {},
                      Failure(FlashAfter::Untouched, 0, 3),
                      replugAfter(24),
                      didReplug}}});
    const std::pair<unsigned, WPARAM> programPoints[] = {{0, 50}, {31, 74}, {61, 98}};
    for (const auto& [block, progress] : programPoints) {
        const std::string label = "replugged in program after block " + std::to_string(block);
        rows.push_back({"replug: in program after block " + std::to_string(block),
                        {{label,
                          {},
                          Failure(FlashAfter::ProgrammedBelow, block + 1, 4),
                          replugAfter(progress),
                          didReplug}}});
    }
    const unsigned eventsBefore = devsim_->Count("get_event");
    RunRows(rows);
    EXPECT_EQ(devsim_->Count("get_event") - eventsBefore, 4u);
}

} // namespace
