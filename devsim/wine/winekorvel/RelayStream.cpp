#include "RelayStream.h"

#include <ws2tcpip.h>

#include <cstring>

namespace winekorvel {

namespace {

// A relay that takes nothing for this long is taken for stalled, like a driver that does not
// answer.
constexpr DWORD kSendTimeoutMs = 10000;

DWORD SendAll(SOCKET socket, const std::uint8_t* bytes, std::size_t size) {
    while (size > 0) {
        const int chunk = static_cast<int>(size > 0x10000 ? 0x10000 : size);
        const int sent = send(socket, reinterpret_cast<const char*>(bytes), chunk, 0);
        if (sent <= 0) {
            return WSAGetLastError() == WSAETIMEDOUT ? ERROR_SEM_TIMEOUT
                                                     : ERROR_DEVICE_NOT_CONNECTED;
        }
        bytes += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return ERROR_SUCCESS;
}

DWORD ReceiveAll(SOCKET socket, std::uint8_t* bytes, std::size_t size, ULONGLONG deadline) {
    while (size > 0) {
        if (const DWORD waited = WaitReadable(socket, deadline)) {
            return waited;
        }
        const int chunk = static_cast<int>(size > 0x10000 ? 0x10000 : size);
        const int got = recv(socket, reinterpret_cast<char*>(bytes), chunk, 0);
        if (got <= 0) {
            return ERROR_DEVICE_NOT_CONNECTED;
        }
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return ERROR_SUCCESS;
}

} // namespace

// select() rather than a receive time-out: a deadline covers every piece of one frame.
DWORD WaitReadable(SOCKET socket, ULONGLONG deadline) {
    if (deadline == 0) {
        return ERROR_SUCCESS;
    }
    const ULONGLONG now = GetTickCount64();
    const ULONGLONG left = deadline > now ? deadline - now : 0;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval timeout{static_cast<long>(left / 1000), static_cast<long>(left % 1000 * 1000)};
    const int ready = select(0, &readable, nullptr, nullptr, &timeout);
    if (ready == 0) {
        return ERROR_SEM_TIMEOUT;
    }
    return ready > 0 ? ERROR_SUCCESS : ERROR_DEVICE_NOT_CONNECTED;
}

DWORD ConnectToRelay(std::uint16_t port, std::string_view token, korvel_relay::Role role,
                     std::uint32_t deviceId, Socket& socket) {
    korvel_relay::Hello hello{
        korvel_relay::kHelloMagic, static_cast<std::uint32_t>(role), deviceId, {}};
    if (token.size() != sizeof(hello.token)) {
        return ERROR_INVALID_PARAMETER;
    }
    std::memcpy(hello.token, token.data(), sizeof(hello.token));
    socket.Reset(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!socket.Valid()) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        socket.Reset();
        return ERROR_FILE_NOT_FOUND;
    }
    const BOOL noDelay = TRUE;
    setsockopt(socket.Get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof(noDelay));
    setsockopt(socket.Get(), SOL_SOCKET, SO_SNDTIMEO,
               reinterpret_cast<const char*>(&kSendTimeoutMs), sizeof(kSendTimeoutMs));
    return SendFrame(socket.Get(), AsBytes(hello));
}

DWORD SendFrame(SOCKET socket, std::span<const std::uint8_t> frame) {
    const auto length = static_cast<std::uint32_t>(frame.size());
    const auto prefix = AsBytes(length);
    std::vector<std::uint8_t> bytes(prefix.begin(), prefix.end());
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    return SendAll(socket, bytes.data(), bytes.size());
}

DWORD ReceiveFrame(SOCKET socket, std::vector<std::uint8_t>& frame, ULONGLONG deadline) {
    std::uint32_t length = 0;
    if (const DWORD error = ReceiveAll(socket, reinterpret_cast<std::uint8_t*>(&length),
                                       korvel_relay::kLengthSize, deadline)) {
        return error;
    }
    if (length > korvel_relay::kMaxFrame) {
        return ERROR_GEN_FAILURE;
    }
    frame.resize(length);
    return ReceiveAll(socket, frame.data(), frame.size(), deadline);
}

} // namespace winekorvel
