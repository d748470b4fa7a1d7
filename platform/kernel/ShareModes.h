// Windows share modes between the handles of this process: a file opened without
// FILE_SHARE_WRITE cannot be opened for writing again until that handle is closed, and so on.
// Other processes are not covered; POSIX has no mandatory equivalent.
#pragma once

#include "platform/wintypes.h"

#include <sys/types.h>

#include <cstdint>

namespace platform::kernel {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
};

// Holds one handle's access and sharing for a file while it lives.
class ShareReservation {
public:
    ShareReservation() = default;
    ShareReservation(const ShareReservation&) = delete;
    ShareReservation& operator=(const ShareReservation&) = delete;
    ShareReservation(ShareReservation&& other) noexcept;
    ShareReservation& operator=(ShareReservation&& other) noexcept;
    ~ShareReservation();

    // Called once per reservation. Fails with ERROR_SHARING_VIOLATION when an open handle and this
    // one exclude each other.
    bool Acquire(FileIdentity file, DWORD access, DWORD share);

private:
    std::uint64_t id_ = 0;
};

// True when every handle open on the file allows deletion.
bool DeletionShared(FileIdentity file);

// Read/write access a desired-access mask grants, as FILE_SHARE_READ/WRITE bits.
DWORD AccessBits(DWORD desiredAccess);

} // namespace platform::kernel
