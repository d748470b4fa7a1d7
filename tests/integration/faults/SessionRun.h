// One update as the main window runs it, without the window: the driver query, programming
// mode, the connection attempts and the stages, with the same waits (scaled by
// NERITH_TIME_SCALE). The popups are left out: the outcome is the notice that would be shown.
#pragma once

#include <string>

namespace nerith::test {

struct SessionRun {
    bool versionAnswered = false;
    int enterIcp = -1;       // EnterIcpMode's result; -1 when no session was built
    int connectAttempts = 0; // OnBConnect calls made
    int stagesPassed = 0;    // of load, verify, checksum, erase, program
    bool success = false;    // the success notice would be shown
};

// Needs the driver channel opened (or refused) beforehand.
SessionRun RunSessionUpdate(const std::string& imagePath);

} // namespace nerith::test
