// Start-up to the first frame: nerith-update against a minimal X client (xmessage), each
// started the same way on the same private screen, run alternately.
#pragma once

#include "x11/X11TestSupport.h"

#include <optional>
#include <string>

namespace nerith::bench {

struct StartupPrograms {
    testing::ProcessOptions updater; // with DISPLAY and the device folder set
    testing::ProcessOptions xmessage;
};

struct StartupComparison {
    double updater = 0; // median seconds from exec to the first frame
    double xmessage = 0;
    double updaterFaults = 0; // median minor page faults from exec to the first frame
    double xmessageFaults = 0;
    long updaterPeakKib = 0;  // the largest VmHWM of nerith-update at its first frame
    long xmessagePeakKib = 0; // VmHWM of xmessage once it shows
};

// nullopt with `error` set when a program shows no frame in time.
std::optional<StartupComparison>
CompareStartup(testing::XSession& x, const StartupPrograms& programs, int runs, std::string* error);

} // namespace nerith::bench
