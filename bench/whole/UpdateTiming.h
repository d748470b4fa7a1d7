// A whole update against nerith-devsim with its HC908 timing model on, timed from the press of
// OK to the first frame of the success notice, against the least it can take: the waits the
// update sequence must make plus the time the device model spends.
#pragma once

#include "ScreenRecognizer.h"
#include "UpdaterSession.h"

#include <optional>
#include <string>

namespace nerith::bench {

// EnterIcpMode waits 2 s before its first attempt; the sequence waits 100 ms after it and
// 1 s before the first connection attempt.
constexpr double kRequiredWaitSeconds = 2.0 + 0.1 + 1.0;

struct UpdateSetup {
    demo::UpdaterEnvironment updater; // the device folder is nerith-devsim's, timing on
    std::string srecCat;
    std::string image; // the carried image, to check the flash against
    std::string work;
};

struct UpdateTiming {
    double measured = 0; // median seconds from OK to the success notice
    double device = 0;   // median modelled device seconds of the same runs
    long peakKib = 0;    // the largest VmHWM of nerith-update at the notice
    double faults = 0;   // median minor page faults of nerith-update from exec to the notice
};

// Each run puts the device one version behind first. nullopt with `error` set when a run
// does not end in the success notice with the image in flash.
std::optional<UpdateTiming> TimeUpdates(testing::XSession& x,
                                        const demo::ScreenRecognizer& recognizer,
                                        const UpdateSetup& setup, int runs, std::string* error);

} // namespace nerith::bench
