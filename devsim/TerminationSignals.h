// SIGINT, SIGTERM and SIGHUP as a descriptor that a poll loop reads, so that a devsim process
// ends its loop and cleans up instead of dying mid-write.
#pragma once

#include "UniqueFd.h"

namespace devsim {

// Blocks the three signals for the calling thread (and the threads it starts afterwards) and
// returns a non-blocking signalfd for them; an invalid descriptor when either step fails.
UniqueFd BlockTerminationSignals();

} // namespace devsim
