// Windows always defines TEMP. When the environment does not, the platform supplies a folder
// of the user's own: "nerith-temp-<uid>" inside $XDG_RUNTIME_DIR when that is an absolute
// path, otherwise inside /tmp. It is created with mode 0700 and used only when it is a real
// folder (not a symlink) owned by the user and closed to everyone else.
#pragma once

#include <optional>
#include <string>

namespace platform::kernel {

std::optional<std::string> PrivateTempFolder();

} // namespace platform::kernel
