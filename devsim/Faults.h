// Faults a test or the demo can inject into the simulated device. Block numbers count the
// block requests of one kind since the device last entered programming mode, from 0.
#pragma once

#include <optional>

namespace devsim {

struct Faults {
    bool noDevice = false;        // nothing serves the device socket
    bool registerRefused = false; // the driver refuses the event semaphore
    bool icpRefused = false;      // the driver refuses IOCTL_ENTER_ICP
    bool neverAnswers = false;    // the MCU never answers an ISP open
    int answerAfter = 0;          // ISP opens that go unanswered before the MCU answers
    bool eraseFails = false;
    std::optional<unsigned> verifyFailsAt;
    std::optional<unsigned> programFailsAt;   // a stuck cell: the first marked byte stays as it was
    std::optional<unsigned> programRefusedAt; // the MCU answers this program request with an error
    std::optional<unsigned> vanishesAt;       // the device is unplugged at this program request
    std::optional<unsigned> vanishesAtVerify; // ... at this verify request
    bool vanishesAtErase = false;             // ... at an erase or mass erase request
    std::optional<unsigned> freezesAt;        // the driver stops (SIGSTOP) at this program request
};

} // namespace devsim
