// Settings that both the command line (--KEY=VALUE) and the control socket (KEY VALUE) can
// change: the flash contents, the version form, faults and the timing model.
#pragma once

#include "NerithDevice.h"

#include <string>

namespace devsim {

// Returns "" when applied, otherwise what was wrong. Unknown keys are refused.
std::string ApplySetting(NerithDevice& device, const std::string& key, const std::string& value);

// The firmware image the updater carries, with the two version bytes replaced.
std::string LoadCarriedImage(NerithDevice& device, int versionHigh, int versionLow);

} // namespace devsim
