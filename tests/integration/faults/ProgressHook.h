// The updater's window is not part of the session-level matrix: progress messages land here,
// and a case may act on one (replug the device after a given block, say).
#pragma once

#include "platform/wintypes.h"

#include <functional>
#include <vector>

namespace nerith::test {

std::vector<WPARAM>& RecordedProgress();
// Called with each progress value after it is recorded; empty for none.
std::function<void(WPARAM)>& ProgressHook();

} // namespace nerith::test
