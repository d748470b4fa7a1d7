#include "UpdateTiming.h"

#include "CarriedImage.h"
#include "DeviceTime.h"
#include "DevsimControl.h"
#include "MinorFaults.h"
#include "PeakResident.h"
#include "S19Reader.h"
#include "Statistics.h"

#include <thread>
#include <vector>

namespace nerith::bench {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
constexpr auto kPollInterval = 500us;

struct UpdateRun {
    double measured = 0;
    double device = 0;
    long peakKib = 0;
    long faults = 0;
};

bool ResetDevice(const std::string& deviceDir, std::string* error) {
    for (const char* command : {"image-version 1,63", "replug"}) {
        const std::string reply = demo::DevsimCommand(deviceDir, command);
        if (reply.rfind("ok", 0) != 0) {
            *error = std::string("nerith-devsim refused '") + command + "': " + reply;
            return false;
        }
    }
    return true;
}

// The first window other than `main` that shows a known screen other than the main window's,
// with the time its pixels were read: a notice not painted yet shows the main window under it.
std::optional<demo::View> WaitForNotice(testing::XSession& x,
                                        const demo::ScreenRecognizer& recognizer,
                                        demo::UpdaterSession& updater, testing::XId main,
                                        Clock::time_point& seen) {
    const auto deadline = Clock::now() + demo::kUpdateTimeout;
    while (Clock::now() < deadline && updater.Process().Running()) {
        for (testing::XId window : testing::FindWindowsByPid(x, updater.Process().pid())) {
            if (window == main || !x.IsMapped(window) || x.IsOverrideRedirect(window)) {
                continue;
            }
            demo::View view;
            view.window = window;
            view.shot = testing::CaptureWindow(x, window);
            seen = Clock::now();
            view.recognition = recognizer.Recognize(view.shot);
            view.screen = view.recognition.screen;
            const auto rect = x.Geometry(window);
            if (view.screen != demo::Screen::Unknown && view.screen != demo::Screen::Main && rect) {
                view.rect = *rect;
                return view;
            }
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return std::nullopt;
}

bool FlashHoldsImage(const UpdateSetup& setup, std::string* error) {
    const auto reference = demo::ReferenceFlash1(setup.srecCat, setup.image, setup.work, error);
    const auto flash =
        demo::Flash1Of(demo::DumpDevsimFlash(setup.updater.deviceDir, setup.work + "/flash.bin"));
    if (reference.empty() || flash != reference) {
        *error = "after the update Flash #1 does not hold the carried image";
        return false;
    }
    return true;
}

std::uint64_t MarkedBytesOf(const std::string& image) {
    std::vector<BYTE> bytes(0x10000, 0xFF);
    std::vector<BYTE> pageMap(1024, 0);
    if (ReadS19File(image.c_str(), bytes.data(), pageMap.data()) != 0) {
        return 0;
    }
    return MarkedFlash1Bytes(pageMap);
}

RequestCounts Counts(const UpdateSetup& setup) {
    return ParseRequestCounts(demo::DevsimCommand(setup.updater.deviceDir, "stats"));
}

std::optional<UpdateRun> TimeOneUpdate(testing::XSession& x,
                                       const demo::ScreenRecognizer& recognizer,
                                       const UpdateSetup& setup, std::string* error) {
    if (!ResetDevice(setup.updater.deviceDir, error)) {
        return std::nullopt;
    }
    auto updater = demo::UpdaterSession::Start(x, recognizer, setup.updater, error);
    if (!updater) {
        return std::nullopt;
    }
    updater->ParkPointer();
    const auto main = updater->WaitFor(demo::Screen::Main, demo::kScreenTimeout);
    if (!main) {
        *error = "no main window: " + demo::UpdaterSession::Describe(updater->Current());
        return std::nullopt;
    }
    const RequestCounts before = Counts(setup);
    const auto start = Clock::now();
    updater->ClickOk(*main);
    updater->ParkPointer();
    Clock::time_point seen;
    const auto notice = WaitForNotice(x, recognizer, *updater, main->window, seen);
    const auto peak = PeakResidentKib(updater->Process().pid());
    const auto faults = MinorFaults(updater->Process().pid());
    const RequestCounts after = Counts(setup);
    if (!notice || notice->screen != demo::Screen::Success) {
        *error = "the update did not end in the success notice: " +
                 demo::UpdaterSession::Describe(notice) + "\n" + updater->Process().Stderr();
        return std::nullopt;
    }
    updater->ClickOk(*notice);
    if (updater->Process().Wait(demo::kExitTimeout) != 0) {
        *error = "nerith-update did not end with 0 after the notice";
        return std::nullopt;
    }
    if (!FlashHoldsImage(setup, error)) {
        return std::nullopt;
    }
    const DeviceWork work = UpdateWork(CountsBetween(before, after), MarkedBytesOf(setup.image));
    return UpdateRun{std::chrono::duration<double>(seen - start).count(),
                     ModelledDeviceSeconds(work), peak.value_or(0), faults.value_or(0)};
}

} // namespace

std::optional<UpdateTiming> TimeUpdates(testing::XSession& x,
                                        const demo::ScreenRecognizer& recognizer,
                                        const UpdateSetup& setup, int runs, std::string* error) {
    std::vector<double> measured;
    std::vector<double> device;
    std::vector<double> faults;
    long peak = 0;
    for (int i = 0; i < runs; ++i) {
        const auto run = TimeOneUpdate(x, recognizer, setup, error);
        if (!run) {
            return std::nullopt;
        }
        measured.push_back(run->measured);
        device.push_back(run->device);
        faults.push_back(static_cast<double>(run->faults));
        peak = std::max(peak, run->peakKib);
    }
    return UpdateTiming{Median(measured), Median(device), peak, Median(faults)};
}

} // namespace nerith::bench
