// Windows path names on this system: '\' and '/' both separate components and become '/';
// names of MAX_PATH characters or more are refused as Windows refuses them.
#pragma once

#include "platform/wintypes.h"

#include <optional>
#include <string>

namespace platform::kernel {

// The POSIX form of `path`, or nothing with the last error set (ERROR_INVALID_PARAMETER for
// NULL, ERROR_PATH_NOT_FOUND for an empty name or a drive this system does not have,
// ERROR_FILENAME_EXCED_RANGE when too long).
std::optional<std::string> ToPosixPath(LPCSTR path);

// "\\.\NAME" (either separator) names a device; returns NAME, or an empty string.
std::string DeviceName(LPCSTR path);

// The folder part of a POSIX path ("." for a bare name).
std::string ParentFolder(const std::string& path);

// The Windows error for a failed call on `path`: a missing name is ERROR_FILE_NOT_FOUND when
// its folder exists and ERROR_PATH_NOT_FOUND when it does not.
DWORD PathError(int error, const std::string& path);

} // namespace platform::kernel
