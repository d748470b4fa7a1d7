// Reaching a driver socket as only a driver may be reached (see platform/devices/WIRE.md): a
// folder of this user or root that nobody else can write to, entered through its descriptor,
// and a peer that runs as this user or root. The platform's CreateFileA("\\.\NAME") and the
// test rig that relays for a driver under Wine both connect this way.
#pragma once

#include "platform/internal/UniqueFd.h"
#include "platform/wintypes.h"

#include <sys/socket.h>

#include <cstdint>
#include <string>
#include <vector>

namespace platform::devices {

// Opens `path` as a folder of driver sockets. ERROR_FILE_NOT_FOUND when it does not exist;
// ERROR_ACCESS_DENIED when it is a link, not a directory, owned by another user or writable by
// group or others.
DWORD OpenTrustedFolder(std::string path, kernel::UniqueFd& folder);

// Connects a SOCK_SEQPACKET socket, with `flags` (e.g. SOCK_NONBLOCK) added to its type, to
// `name` in the folder. ERROR_FILE_NOT_FOUND when nobody serves it; ERROR_NOT_READY when a
// non-blocking connection finds the driver's queue full.
DWORD ConnectInFolder(const kernel::UniqueFd& folder, const std::string& name,
                      kernel::UniqueFd& socket, int flags = 0);

// True when the process serving the other end of a connected socket runs as this user or root.
bool TrustedPeer(int socket);

// One packet for sendmsg, with a descriptor passed along (SCM_RIGHTS) when `fd` is not -1. It
// points into itself and into `packet`, so it is neither copied nor kept beyond the packet.
class OutgoingPacket {
public:
    OutgoingPacket(const std::vector<std::uint8_t>& packet, int fd);
    OutgoingPacket(const OutgoingPacket&) = delete;
    OutgoingPacket& operator=(const OutgoingPacket&) = delete;

    const msghdr* Message() const { return &message_; }

private:
    iovec io_{};
    alignas(cmsghdr) char control_[CMSG_SPACE(sizeof(int))] = {};
    msghdr message_{};
};

} // namespace platform::devices
