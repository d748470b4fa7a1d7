// Who may answer "\\.\NAME": on Windows only a kernel driver can, so here only a socket that
// this user or root made, in a folder nobody else can write to, served by this user or root.
#pragma once

#include "platform/internal/UniqueFd.h"
#include "platform/wintypes.h"

namespace platform::devices {

// Opens the device folder for connecting through its descriptor, so the folder that was
// checked is the folder used. ERROR_FILE_NOT_FOUND when it does not exist;
// ERROR_ACCESS_DENIED when it is a link, not a directory, owned by another user or writable
// by group or others.
DWORD OpenDeviceFolder(kernel::UniqueFd& folder);

// True when the process serving the other end of a connected socket runs as this user or root.
bool TrustedPeer(int socket);

} // namespace platform::devices
