#include "ScriptedDriver.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/wintypes.h"

#include <cstring>

namespace nerith::test {

namespace wire = platform::devices::wire;

namespace {

bool SendAll(int socket, const std::vector<std::uint8_t>& packet) {
    return ::send(socket, packet.data(), packet.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(packet.size());
}

ssize_t ReceiveWithFd(int socket, std::vector<std::uint8_t>& packet, int& fd) {
    packet.resize(wire::kMaxPacket + 1);
    iovec io{packet.data(), packet.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message{};
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof(control);
    const ssize_t received = ::recvmsg(socket, &message, MSG_CMSG_CLOEXEC);
    fd = -1;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); received > 0 && c; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_RIGHTS) {
            std::memcpy(&fd, CMSG_DATA(c), sizeof(int));
        }
    }
    packet.resize(received > 0 ? static_cast<std::size_t>(received) : 0);
    return received;
}

} // namespace

bool PlantDeadSocket(const std::string& folder, const std::string& name) {
    const std::string path = folder + "/" + name;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    const bool bound =
        fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return bound;
}

int DriverCall::QueryObject(std::uint32_t handleValue) {
    if (!SendAll(socket_, wire::EncodeObjectQuery(handleValue))) {
        return -1;
    }
    std::vector<std::uint8_t> packet;
    int fd = -1;
    wire::ObjectAnswer answer;
    if (ReceiveWithFd(socket_, packet, fd) <= 0 || !wire::ParseObjectAnswer(packet, answer) ||
        answer.status != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return -1;
    }
    return fd;
}

ScriptedDriver::ScriptedDriver(std::string folder, std::string name, Handler handler)
    : path_(std::move(folder) + "/" + std::move(name)), handler_(std::move(handler)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path_.c_str(), sizeof(address.sun_path) - 1);
    ::unlink(path_.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(fd, 16) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return;
    }
    listener_ = fd;
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

ScriptedDriver::~ScriptedDriver() {
    stopping_ = true;
    if (listener_ >= 0) {
        ::shutdown(listener_, SHUT_RDWR);
    }
    if (acceptor_.joinable()) {
        acceptor_.join();
    }
    {
        std::lock_guard lock(mutex_);
        for (const int client : clients_) {
            ::shutdown(client, SHUT_RDWR);
        }
    }
    for (std::thread& t : threads_) {
        t.join();
    }
    for (const int client : clients_) {
        ::close(client);
    }
    if (listener_ >= 0) {
        ::close(listener_);
        ::unlink(path_.c_str());
    }
    if (kept_ >= 0) {
        ::close(kept_);
    }
}

void ScriptedDriver::Keep(int fd) {
    std::lock_guard lock(mutex_);
    if (kept_ >= 0) {
        ::close(kept_);
    }
    kept_ = fd;
}

bool ScriptedDriver::Signal() {
    std::lock_guard lock(mutex_);
    const std::uint64_t one = 1;
    return kept_ >= 0 && ::write(kept_, &one, sizeof(one)) == sizeof(one);
}

void ScriptedDriver::AcceptLoop() {
    while (!stopping_) {
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            return;
        }
        ++connections_;
        std::lock_guard lock(mutex_);
        clients_.push_back(client);
        threads_.emplace_back([this, client] { Serve(client); });
    }
}

void ScriptedDriver::Serve(int socket) {
    std::vector<std::uint8_t> packet;
    for (;;) {
        int fd = -1;
        if (ReceiveWithFd(socket, packet, fd) <= 0) {
            return;
        }
        if (fd >= 0) {
            ::close(fd);
        }
        ++requests_;
        wire::Request request;
        if (!wire::ParseRequest(packet, request)) {
            SendAll(socket, wire::EncodeReply(ERROR_INVALID_PARAMETER, {}));
            continue;
        }
        DriverCall call(socket, request);
        const DriverReply reply = handler_(call);
        if (reply.kind == DriverReply::Kind::Vanish) {
            ::shutdown(socket, SHUT_RDWR);
            return;
        }
        SendAll(socket, reply.kind == DriverReply::Kind::Raw
                            ? reply.raw
                            : wire::EncodeReply(reply.status, reply.output));
    }
}

} // namespace nerith::test
