#include "DriverSocket.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cerrno>
#include <cstring>

namespace korvel_relay {

namespace {

DWORD ConnectError(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ECONNREFUSED:
        return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
    case ELOOP:
        return ERROR_ACCESS_DENIED;
    case EAGAIN:
        return ERROR_NOT_READY;
    default:
        return ERROR_GEN_FAILURE;
    }
}

bool TrustedOwner(uid_t uid) {
    return uid == ::geteuid() || uid == 0;
}

// The folder is opened once and the socket reached through that descriptor, so the folder
// checked is the folder used.
DWORD OpenFolder(const std::string& folder, UniqueFd& fd) {
    fd.Reset(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.Valid()) {
        return ConnectError(errno);
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) {
        return ConnectError(errno);
    }
    const bool open = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    return TrustedOwner(st.st_uid) && !open ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

bool TrustedPeer(int socket) {
    ucred peer{};
    socklen_t length = sizeof(peer);
    return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
           TrustedOwner(peer.uid);
}

} // namespace

DWORD ConnectToDriver(const std::string& path, UniqueFd& socket) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    UniqueFd folderFd;
    if (const DWORD error = OpenFolder(folder, folderFd)) {
        return error;
    }
    const std::string viaFolder = "/proc/self/fd/" + std::to_string(folderFd.Get()) + "/" + name;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.empty() || viaFolder.size() >= sizeof(address.sun_path)) {
        return ERROR_FILE_NOT_FOUND;
    }
    std::memcpy(address.sun_path, viaFolder.c_str(), viaFolder.size() + 1);
    socket.Reset(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
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
    if (!TrustedPeer(socket.Get())) {
        socket.Reset();
        return ERROR_ACCESS_DENIED;
    }
    return ERROR_SUCCESS;
}

bool SendToDriver(int socket, const std::vector<std::uint8_t>& packet, int fd) {
    iovec io{const_cast<std::uint8_t*>(packet.data()), packet.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message{};
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    if (fd >= 0) {
        message.msg_control = control;
        message.msg_controllen = sizeof(control);
        cmsghdr* c = CMSG_FIRSTHDR(&message);
        c->cmsg_level = SOL_SOCKET;
        c->cmsg_type = SCM_RIGHTS;
        c->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(c), &fd, sizeof(int));
    }
    ssize_t sent;
    do {
        sent = ::sendmsg(socket, &message, MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(packet.size());
}

} // namespace korvel_relay
