#include "Sockets.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cerrno>
#include <cstring>

namespace devsim {

namespace {

constexpr std::size_t kMaxFds = 4;

bool MakeAddress(const std::string& path, sockaddr_un& address, std::string& error) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        error = "socket path too long: " + path;
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// True when `path` is a socket file that nobody serves any more.
bool StaleSocket(const std::string& path, const sockaddr_un& address, std::string& error) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return errno == ENOENT;
    }
    if (!S_ISSOCK(st.st_mode)) {
        error = path + " exists and is not a socket";
        return false;
    }
    UniqueFd probe(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
    if (probe.Valid() &&
        ::connect(probe.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
        error = "another driver already serves " + path;
        return false;
    }
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

void KeepFirstFd(msghdr& message, UniqueFd& fd) {
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_RIGHTS) {
            continue;
        }
        const std::size_t count = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (std::size_t i = 0; i < count; ++i) {
            int received = -1;
            std::memcpy(&received, CMSG_DATA(c) + i * sizeof(int), sizeof(int));
            if (!fd.Valid()) {
                fd.Reset(received);
            } else {
                ::close(received);
            }
        }
    }
}

// bind() creates the socket file with the umask's mode; a chmod afterwards would leave a
// moment in which others could connect, so the file is created 0600 from the start. The umask
// is the process's: the drivers that bind here do so from their one thread.
bool BindPrivately(int socket, const sockaddr_un& address) {
    const mode_t previous = ::umask(0177);
    const int result = ::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    ::umask(previous);
    return result == 0;
}

} // namespace

UniqueFd ListenOn(const std::string& path, std::string& error) {
    sockaddr_un address;
    if (!MakeAddress(path, address, error) || !StaleSocket(path, address, error)) {
        return UniqueFd();
    }
    UniqueFd socket(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!socket.Valid() || !BindPrivately(socket.Get(), address) ||
        ::listen(socket.Get(), 16) != 0) {
        error = "cannot listen on " + path + ": " + std::strerror(errno);
        return UniqueFd();
    }
    return socket;
}

Received ReceivePacket(int socket, std::size_t limit, std::vector<std::uint8_t>& packet,
                       UniqueFd& fd) {
    packet.resize(limit);
    iovec io{packet.data(), packet.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * kMaxFds)] = {};
    msghdr message{};
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof(control);
    ssize_t received;
    do {
        received = ::recvmsg(socket, &message, MSG_CMSG_CLOEXEC | MSG_DONTWAIT);
    } while (received < 0 && errno == EINTR);
    if (received > 0) {
        KeepFirstFd(message, fd);
    }
    if (received == 0) {
        return Received::Closed;
    }
    if (received < 0) {
        return (errno == EAGAIN || errno == EWOULDBLOCK) ? Received::Nothing : Received::Failed;
    }
    // A cut packet keeps the full buffer, one byte longer than any packet a parser accepts.
    packet.resize((message.msg_flags & MSG_TRUNC) ? limit : static_cast<std::size_t>(received));
    return Received::Packet;
}

bool SendPacket(int socket, const std::vector<std::uint8_t>& packet) {
    ssize_t sent;
    do {
        sent = ::send(socket, packet.data(), packet.size(), MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(packet.size());
}

Sent TrySendPacket(int socket, const std::vector<std::uint8_t>& packet) {
    ssize_t sent;
    do {
        sent = ::send(socket, packet.data(), packet.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (sent < 0 && errno == EINTR);
    if (sent == static_cast<ssize_t>(packet.size())) {
        return Sent::Whole;
    }
    return (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) ? Sent::Later : Sent::Failed;
}

} // namespace devsim
