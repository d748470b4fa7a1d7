// Optional device timing of the HC908 family, so a run takes about as long as on the real MCU.
// Off by default; every wait is scaled by NERITH_TIME_SCALE.
#pragma once

#include "platform/internal/device_wire.h"

#include <atomic>
#include <cstdint>

namespace devsim {

class TimingModel {
public:
    static constexpr std::uint32_t kRequestMicroseconds = 200;
    static constexpr std::uint32_t kByteMicroseconds = 30;
    static constexpr std::uint32_t kPageEraseMicroseconds = 2000;
    static constexpr std::uint32_t kMassEraseMicroseconds = 4000;

    void Enable(bool on) { enabled_ = on; }
    bool Enabled() const { return enabled_; }

    void Request() const { Wait(kRequestMicroseconds); }
    void ProgramBytes(std::uint32_t count) const { Wait(std::uint64_t{count} * kByteMicroseconds); }
    void ErasePages(std::uint32_t count) const {
        Wait(std::uint64_t{count} * kPageEraseMicroseconds);
    }
    void MassErase() const { Wait(kMassEraseMicroseconds); }
    // What the model has charged since start, unscaled: the device time a run cost whatever
    // the load made the sleeps overrun.
    std::uint64_t ChargedMicroseconds() const { return charged_.load(); }

private:
    void Wait(std::uint64_t microseconds) const;

    bool enabled_ = false;
    mutable std::atomic<std::uint64_t> charged_{0};
};

// The slowest request of the model, an erase of all 1,024 pages, must leave the updater's
// request time-out room to spare, even on the floor a small time scale puts it on.
static_assert(1024ull * TimingModel::kPageEraseMicroseconds + TimingModel::kRequestMicroseconds <=
              platform::devices::wire::kRequestTimeoutFloorMs * 1000ull / 2);

} // namespace devsim
