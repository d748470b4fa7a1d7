#include "kernel/ShareModes.h"

#include "platform/kernel32.h"

#include <mutex>
#include <utility>
#include <vector>

namespace platform::kernel {

namespace {

struct OpenFile {
    std::uint64_t id;
    FileIdentity file;
    DWORD access; // FILE_SHARE_READ/WRITE bits for the access held
    DWORD share;
};

struct Registry {
    std::mutex mutex;
    std::vector<OpenFile> open;
    std::uint64_t nextId = 1;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

bool SameFile(const FileIdentity& a, const FileIdentity& b) {
    return a.device == b.device && a.inode == b.inode;
}

bool Compatible(const OpenFile& held, DWORD access, DWORD share) {
    const DWORD rw = FILE_SHARE_READ | FILE_SHARE_WRITE;
    return (access & ~held.share & rw) == 0 && (held.access & ~share & rw) == 0;
}

void Release(std::uint64_t id) {
    if (id == 0) {
        return;
    }
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    std::erase_if(r.open, [id](const OpenFile& f) { return f.id == id; });
}

} // namespace

DWORD AccessBits(DWORD desiredAccess) {
    DWORD bits = 0;
    if (desiredAccess & (GENERIC_READ | GENERIC_ALL)) {
        bits |= FILE_SHARE_READ;
    }
    if (desiredAccess & (GENERIC_WRITE | GENERIC_ALL)) {
        bits |= FILE_SHARE_WRITE;
    }
    return bits;
}

ShareReservation::ShareReservation(ShareReservation&& other) noexcept
    : id_(std::exchange(other.id_, 0)) {}

ShareReservation& ShareReservation::operator=(ShareReservation&& other) noexcept {
    if (this != &other) {
        Release(id_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

ShareReservation::~ShareReservation() {
    Release(id_);
}

bool ShareReservation::Acquire(FileIdentity file, DWORD access, DWORD share) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    const DWORD bits = AccessBits(access);
    for (const OpenFile& held : r.open) {
        if (SameFile(held.file, file) && !Compatible(held, bits, share)) {
            SetLastError(ERROR_SHARING_VIOLATION);
            return false;
        }
    }
    try {
        r.open.push_back({r.nextId, file, bits, share});
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    id_ = r.nextId++;
    return true;
}

bool DeletionShared(FileIdentity file) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    for (const OpenFile& held : r.open) {
        if (SameFile(held.file, file) && !(held.share & FILE_SHARE_DELETE)) {
            return false;
        }
    }
    return true;
}

} // namespace platform::kernel
