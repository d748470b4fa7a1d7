#include "devices/DeviceTrust.h"

#include "platform/internal/device_folder.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace platform::devices {

namespace {

bool TrustedOwner(uid_t owner) {
    return owner == 0 || owner == ::geteuid();
}

// A trailing slash would make the open follow a link planted at the folder's own name.
std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

DWORD FolderError(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return ERROR_FILE_NOT_FOUND;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    default: // ELOOP: the folder is a link; EACCES: a folder on the way may not be searched
        return ERROR_ACCESS_DENIED;
    }
}

bool TrustedFolder(const struct stat& st) {
    return S_ISDIR(st.st_mode) && TrustedOwner(st.st_uid) &&
           (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

DWORD OpenDeviceFolder(kernel::UniqueFd& folder) {
    const std::string path = WithoutTrailingSlashes(DeviceFolder());
    kernel::UniqueFd opened(::open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!opened.Valid()) {
        return FolderError(errno);
    }
    struct stat st {};
    if (::fstat(opened.Get(), &st) != 0) {
        return FolderError(errno);
    }
    if (!TrustedFolder(st)) {
        return ERROR_ACCESS_DENIED;
    }
    folder = std::move(opened);
    return ERROR_SUCCESS;
}

bool TrustedPeer(int socket) {
    ucred peer{};
    socklen_t length = sizeof(peer);
    return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
           length == sizeof(peer) && TrustedOwner(peer.uid);
}

} // namespace platform::devices
