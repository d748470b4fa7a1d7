// Opening a disk file by a Windows creation disposition, with the rules that make a shared
// machine look like the single-user one the updater assumes:
// - a file that a creating disposition makes is new, the caller's own, mode 0600, created
//   exclusively and never through a symlink, a hard link, a FIFO or a device;
// - CREATE_ALWAYS replaces an existing regular file only when the caller may remove it;
// - nothing is created or opened in a folder where someone else can rename the caller's names;
// - in a shared sticky folder only the caller's own single-link files are opened.
#pragma once

#include "kernel/ShareModes.h"
#include "platform/internal/UniqueFd.h"
#include "platform/wintypes.h"

#include <functional>
#include <string>

namespace platform::kernel {

struct OpenedDiskFile {
    UniqueFd fd;          // opened O_NONBLOCK, so a planted FIFO cannot hang the open
    bool existed = false; // a file was there: opened, or replaced by CREATE_ALWAYS
    int error = 0;        // errno when `fd` is not valid; EBUSY when `mayReplace` said no
};

// Asked before CREATE_ALWAYS removes the existing file; false refuses with EBUSY.
using ReplaceCheck = std::function<bool(const FileIdentity&)>;

// `flags`: O_RDONLY, O_WRONLY or O_RDWR, optionally O_APPEND. `disposition`: CREATE_NEW ...
// TRUNCATE_EXISTING; truncation itself is left to the caller.
OpenedDiskFile OpenDiskFile(const std::string& path, int flags, DWORD disposition,
                            const ReplaceCheck& mayReplace);

} // namespace platform::kernel
