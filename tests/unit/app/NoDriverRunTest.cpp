// With no driver at start-up the channel stays closed for the whole program: OK ends in the
// failure notice, a driver that turns up later hears nothing, and the device-event thread sits
// in its one wait all along, never running.
#include "DevsimProcess.h"
#include "DriverChannel.h"
#include "ObservedUpdateDlg.h"
#include "ScriptedDriver.h"
#include "SkinTestSupport.h"
#include "UpdateApp.h"

#include <dirent.h>
#include <sys/syscall.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

namespace {

using nerith::test::DriverCall;
using nerith::test::DriverReply;
using nerith::test::ScriptedDriver;
using skintest::Do;
using skintest::ScriptRunner;
using skintest::Until;

std::set<std::string> Tasks() {
    std::set<std::string> tasks;
    DIR* dir = ::opendir("/proc/self/task");
    while (dir) {
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            break;
        }
        if (entry->d_name[0] != '.') {
            tasks.insert(entry->d_name);
        }
    }
    if (dir) {
        ::closedir(dir);
    }
    return tasks;
}

// What the kernel says of one thread: where it is blocked and how often it has been switched
// out. A thread blocked in one call does not switch at all.
struct ThreadSample {
    bool waitsForEver = false; // in poll with no time-out
    long switches = -1;
    std::string syscall;

    bool operator==(const ThreadSample& other) const {
        return waitsForEver == other.waitsForEver && switches == other.switches;
    }
};

bool BlockedWithoutTimeout(const std::string& syscallLine) {
    std::istringstream in(syscallLine);
    long number = -1;
    std::string fds;
    std::string count;
    std::string timeout;
    in >> number >> fds >> count >> timeout;
#ifdef SYS_poll
    if (number == SYS_poll) {
        return (std::strtoull(timeout.c_str(), nullptr, 16) & 0xFFFFFFFFu) == 0xFFFFFFFFu;
    }
#endif
    return number == SYS_ppoll && timeout == "0x0";
}

ThreadSample Sample(const std::string& tid) {
    const std::string base = "/proc/self/task/" + tid + "/";
    ThreadSample sample;
    std::getline(std::ifstream(base + "syscall"), sample.syscall);
    sample.waitsForEver = BlockedWithoutTimeout(sample.syscall);
    std::ifstream status(base + "status");
    long total = 0;
    int found = 0;
    for (std::string line; std::getline(status, line);) {
        const auto colon = line.find(':');
        const std::string key = line.substr(0, colon == std::string::npos ? 0 : colon);
        if (key == "voluntary_ctxt_switches" || key == "nonvoluntary_ctxt_switches") {
            total += std::strtol(line.c_str() + colon + 1, nullptr, 10);
            ++found;
        }
    }
    sample.switches = found == 2 ? total : -1;
    return sample;
}

class NoDriverRun : public usertest::WindowTest {
protected:
    void SetUp() override {
        usertest::WindowTest::SetUp();
        ::setenv("NERITH_DEVICE_DIR", folder_.Path().c_str(), 1);
        ::setenv("TEMP", temp_.Path().c_str(), 1);
        g_bStopEventThread = FALSE;
    }
    void TearDown() override {
        theApp.m_pMainWnd = nullptr;
        usertest::WindowTest::TearDown();
    }

    nerith::test::TempFolder folder_;
    nerith::test::TempFolder temp_;
};

TEST_F(NoDriverRun, TheEventThreadStaysInItsWaitAndALateDriverHearsNothing) {
    const std::set<std::string> before = Tasks();
    CObservedUpdateDlg dlg;
    std::string eventThread;
    ThreadSample waiting;
    std::unique_ptr<ScriptedDriver> late;
    Popup shown = Popup::None;
    std::vector<ThreadSample> samples;
    const auto started = [&] {
        if (!dlg.m_hWnd || !dlg.IsWindowVisible()) {
            return false;
        }
        std::vector<std::string> added;
        for (const std::string& tid : Tasks()) {
            if (!before.count(tid)) {
                added.push_back(tid);
            }
        }
        EXPECT_EQ(added.size(), 1u) << "threads started with the main window";
        if (added.size() != 1) {
            return true;
        }
        eventThread = added.front();
        waiting = Sample(eventThread);
        return waiting.waitsForEver;
    };
    std::vector<ScriptRunner::Step> steps{
        Until("the event thread in its wait", started),
        Do([&] {
            EXPECT_EQ(g_hDriver.load(), nullptr);
            late = std::make_unique<ScriptedDriver>(folder_.Path(), "korvel", [](DriverCall&) {
                std::vector<std::uint8_t> version(100, 0);
                version[0] = 1;
                return DriverReply::Ok(version);
            });
            EXPECT_TRUE(late->Listening());
            dlg.ClickOk();
        }),
        Until("a notice",
              [&] {
                  HWND hPopup = nullptr;
                  shown = ShownPopup(&hPopup);
                  if (shown == Popup::None) {
                      return dlg.RunsEnded() >= 1;
                  }
                  samples.push_back(Sample(eventThread));
                  usertest::Screen().PressKey(VK_ESCAPE);
                  return true;
              }),
        Until("the run's end", [&] { return dlg.RunsEnded() >= 1; }),
        Do([&] {
            samples.push_back(Sample(eventThread));
            dlg.PostMessage(WM_COMMAND, IDCANCEL, 0);
        }),
    };
    ScriptRunner script(std::move(steps), std::chrono::seconds(20));
    theApp.m_pMainWnd = &dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    theApp.m_pMainWnd = nullptr;
    ASSERT_TRUE(script.Finished());

    EXPECT_EQ(shown, Popup::FailureNotice) << PopupName(shown);
    EXPECT_EQ(dlg.RunsStarted(), 1);
    EXPECT_EQ(late->Connections(), 0u);
    EXPECT_EQ(late->Requests(), 0u);
    EXPECT_FALSE(std::ifstream(temp_.File("temp.s19")).good()) << "no file on this path";
    ASSERT_TRUE(waiting.waitsForEver) << waiting.syscall;
    ASSERT_EQ(samples.size(), 2u);
    for (const ThreadSample& sample : samples) {
        EXPECT_EQ(sample, waiting) << "blocked in: " << sample.syscall << ", switched "
                                   << sample.switches << " times, before " << waiting.switches;
    }
}

} // namespace
