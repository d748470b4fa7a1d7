#include "devices/DeviceConnection.h"
#include "platform/internal/device_socket.h"
#include "platform/kernel32.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace platform::devices {

namespace {

constexpr std::size_t kMaxFdsAccepted = 4;

bool PeerGone(int error) {
    return error == EPIPE || error == ECONNRESET || error == ENOTCONN || error == ECONNREFUSED;
}

bool WouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK;
}

// A driver has no business sending descriptors to a client: close any that arrive.
void CloseReceivedFds(msghdr& message) {
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_RIGHTS) {
            continue;
        }
        const std::size_t count = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        for (std::size_t i = 0; i < count; ++i) {
            int fd = -1;
            std::memcpy(&fd, CMSG_DATA(c) + i * sizeof(int), sizeof(int));
            ::close(fd);
        }
    }
}

} // namespace

std::uint32_t wire::RequestTimeoutMs() {
    const DWORD scaled = kernel::ScaledMilliseconds(wire::kRequestTimeoutMs);
    return scaled < wire::kRequestTimeoutFloorMs ? wire::kRequestTimeoutFloorMs : scaled;
}

// A caller waiting for the handle waits at most for the holder's own time-out.
DWORD DeviceConnection::Control(DWORD code, std::span<const std::uint8_t> input, DWORD outLength,
                                std::vector<std::uint8_t>& output) {
    std::lock_guard lock(mutex_);
    if (broken_) {
        return ERROR_DEVICE_NOT_CONNECTED;
    }
    const kernel::Deadline deadline(wire::RequestTimeoutMs());
    return Exchange(code, input, outLength, output, deadline);
}

DWORD DeviceConnection::Exchange(DWORD code, std::span<const std::uint8_t> input, DWORD outLength,
                                 std::vector<std::uint8_t>& output,
                                 const kernel::Deadline& deadline) {
    if (const DWORD sent = Send(wire::EncodeRequest(code, input, outLength), -1, deadline)) {
        return sent;
    }
    std::vector<std::uint8_t> packet;
    for (int queries = 0;; ++queries) {
        if (const DWORD received = Receive(packet, deadline)) {
            return received;
        }
        wire::DriverMessage message;
        if (!wire::ParseDriverMessage(packet, outLength, message) ||
            (message.kind == wire::Kind::ObjectQuery && queries >= wire::kMaxObjectQueries)) {
            return Break(ERROR_GEN_FAILURE);
        }
        if (message.kind == wire::Kind::Reply) {
            output.assign(message.output.begin(), message.output.end());
            return message.status;
        }
        if (const DWORD answered = AnswerObjectQuery(message.handleValue, deadline)) {
            return answered;
        }
    }
}

DWORD DeviceConnection::AnswerObjectQuery(std::uint32_t handleValue,
                                          const kernel::Deadline& deadline) {
    const HANDLE handle = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(handleValue));
    const auto object = kernel::GetObject<kernel::KernelObject>(handle);
    const int fd = object ? object->ShareableFd() : -1;
    const std::uint32_t status = fd >= 0 ? 0 : static_cast<std::uint32_t>(ERROR_INVALID_HANDLE);
    return Send(wire::EncodeObjectAnswer(status, handleValue), fd, deadline);
}

// Polls once even when the deadline has passed, so an answer that is already there counts.
DWORD DeviceConnection::WaitReady(short events, const kernel::Deadline& deadline) {
    for (;;) {
        pollfd entry{socket_.Get(), events, 0};
        const int ready = ::poll(&entry, 1, deadline.RemainingForPoll());
        if (ready > 0) {
            return ERROR_SUCCESS;
        }
        if (ready == 0) {
            return Break(ERROR_SEM_TIMEOUT);
        }
        if (errno != EINTR) {
            return Break(ERROR_GEN_FAILURE);
        }
    }
}

DWORD DeviceConnection::Send(const std::vector<std::uint8_t>& packet, int fd,
                             const kernel::Deadline& deadline) {
    const OutgoingPacket outgoing(packet, fd);
    for (;;) {
        const ssize_t sent =
            ::sendmsg(socket_.Get(), outgoing.Message(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent == static_cast<ssize_t>(packet.size())) {
            return ERROR_SUCCESS;
        }
        if (sent >= 0 || (errno != EINTR && !WouldBlock(errno))) {
            return Break((sent < 0 && PeerGone(errno)) ? ERROR_DEVICE_NOT_CONNECTED
                                                       : ERROR_GEN_FAILURE);
        }
        if (WouldBlock(errno)) {
            if (const DWORD waited = WaitReady(POLLOUT, deadline)) {
                return waited;
            }
        }
    }
}

DWORD DeviceConnection::Receive(std::vector<std::uint8_t>& packet,
                                const kernel::Deadline& deadline) {
    packet.resize(wire::kMaxPacket);
    iovec io{packet.data(), packet.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * kMaxFdsAccepted)] = {};
    msghdr message{};
    message.msg_iov = &io;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof(control);
    ssize_t received;
    do {
        if (const DWORD waited = WaitReady(POLLIN, deadline)) {
            return waited;
        }
        received = ::recvmsg(socket_.Get(), &message, MSG_CMSG_CLOEXEC | MSG_DONTWAIT);
    } while (received < 0 && (errno == EINTR || WouldBlock(errno)));
    if (received > 0) {
        CloseReceivedFds(message);
    }
    if (received <= 0) {
        return Break((received == 0 || PeerGone(errno)) ? ERROR_DEVICE_NOT_CONNECTED
                                                        : ERROR_GEN_FAILURE);
    }
    if (message.msg_flags & (MSG_TRUNC | MSG_CTRUNC)) {
        return Break(ERROR_GEN_FAILURE);
    }
    packet.resize(static_cast<std::size_t>(received));
    return ERROR_SUCCESS;
}

} // namespace platform::devices
