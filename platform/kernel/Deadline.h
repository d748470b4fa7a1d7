// A wait's end point on the monotonic clock, so retries after EINTR or a lost race do not
// stretch the total wait.
#pragma once

#include "platform/kernel32.h"

#include <chrono>

namespace platform::kernel {

class Deadline {
public:
    explicit Deadline(DWORD milliseconds)
        : infinite_(milliseconds == INFINITE),
          end_(std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds)) {}

    bool Infinite() const { return infinite_; }

    // Milliseconds left, rounded up so a wait never ends early; -1 for an infinite wait.
    int RemainingForPoll() const {
        if (infinite_) {
            return -1;
        }
        const auto left = end_ - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) {
            return 0;
        }
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
        return ms > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(ms);
    }

    std::chrono::steady_clock::time_point End() const { return end_; }

private:
    bool infinite_;
    std::chrono::steady_clock::time_point end_;
};

} // namespace platform::kernel
