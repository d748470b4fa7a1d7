#include "platform/internal/device_socket.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
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

DWORD ConnectError(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ECONNREFUSED: // a socket file left behind with no driver serving it
        return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
        return ERROR_ACCESS_DENIED;
    case EAGAIN: // only without waiting: the driver's queue of connections is full
        return ERROR_NOT_READY;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
    case ENOBUFS:
        return ERROR_NOT_ENOUGH_MEMORY;
    default:
        return ERROR_GEN_FAILURE;
    }
}

} // namespace

DWORD OpenTrustedFolder(std::string path, kernel::UniqueFd& folder) {
    path = WithoutTrailingSlashes(std::move(path));
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

// The socket is reached through the folder's descriptor, so a folder swapped after its check
// cannot lead elsewhere; the path is short whatever the folder's own length.
DWORD ConnectInFolder(const kernel::UniqueFd& folder, const std::string& name,
                      kernel::UniqueFd& socket, int flags) {
    const std::string path = "/proc/self/fd/" + std::to_string(folder.Get()) + "/" + name;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    socket.Reset(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | flags, 0));
    if (!socket.Valid()) {
        return ConnectError(errno);
    }
    int result;
    do {
        result =
            ::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const DWORD error = ConnectError(errno);
        socket.Reset();
        return error;
    }
    return ERROR_SUCCESS;
}

bool TrustedPeer(int socket) {
    ucred peer{};
    socklen_t length = sizeof(peer);
    return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
           length == sizeof(peer) && TrustedOwner(peer.uid);
}

OutgoingPacket::OutgoingPacket(const std::vector<std::uint8_t>& packet, int fd)
    : io_{const_cast<std::uint8_t*>(packet.data()), packet.size()} {
    message_.msg_iov = &io_;
    message_.msg_iovlen = 1;
    if (fd < 0) {
        return;
    }
    message_.msg_control = control_;
    message_.msg_controllen = sizeof(control_);
    cmsghdr* c = CMSG_FIRSTHDR(&message_);
    c->cmsg_level = SOL_SOCKET;
    c->cmsg_type = SCM_RIGHTS;
    c->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(c), &fd, sizeof(int));
}

} // namespace platform::devices
