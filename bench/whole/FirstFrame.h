// The first frame a program shows on an X screen: a top-level window of the screen mapped and
// painted. The screen must be one the program has to itself (a private Xvfb).
#pragma once

#include "x11/X11TestSupport.h"

#include <chrono>
#include <optional>

namespace nerith::bench {

using Clock = std::chrono::steady_clock;

// More than half of the pixels are not black: a window that has drawn nothing over a black
// root shows black, whatever its own background is.
bool IsPainted(const testing::Image& shot);
// Paints the root black, so that a mapped but unpainted window is seen as such.
void BlackenRoot(testing::XSession& x);
// Polls the top-level windows until one is viewable and painted; the time of the capture that
// showed it. nullopt when `process` ends first or `timeout` passes.
std::optional<Clock::time_point> WaitForFirstFrame(testing::XSession& x,
                                                   testing::ChildProcess& process,
                                                   std::chrono::milliseconds timeout);

} // namespace nerith::bench
