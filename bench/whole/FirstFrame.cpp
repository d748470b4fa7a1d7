#include "FirstFrame.h"

#include <algorithm>
#include <thread>

namespace nerith::bench {

namespace {

constexpr auto kPollInterval = std::chrono::microseconds(500);

bool AnyWindowPainted(testing::XSession& x) {
    for (testing::XId window : testing::TopLevelWindows(x)) {
        if (x.IsMapped(window) && IsPainted(testing::CaptureWindow(x, window))) {
            return true;
        }
    }
    return false;
}

} // namespace

bool IsPainted(const testing::Image& shot) {
    if (shot.Empty()) {
        return false;
    }
    const auto lit = std::count_if(shot.pixels.begin(), shot.pixels.end(),
                                   [](std::uint32_t rgb) { return (rgb & 0xFFFFFFu) != 0; });
    return static_cast<std::size_t>(lit) * 2 > shot.pixels.size();
}

void BlackenRoot(testing::XSession& x) {
    x.FillRect(x.Root(), x.ScreenRect(), 0x000000);
    x.Sync();
}

std::optional<Clock::time_point> WaitForFirstFrame(testing::XSession& x,
                                                   testing::ChildProcess& process,
                                                   std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline && process.Running()) {
        if (AnyWindowPainted(x)) {
            return Clock::now();
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return std::nullopt;
}

} // namespace nerith::bench
