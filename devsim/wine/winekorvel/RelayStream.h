// winekorvel.dll's side of a connection to nerith-korvel-relay: frames over TCP loopback
// (RelayProtocol.h). Errors are the Win32 codes a device handle fails with.
#pragma once

#include "RelayProtocol.h"
#include "WinHandles.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace winekorvel {

// Connects to 127.0.0.1:port and sends the Hello; ERROR_FILE_NOT_FOUND when nobody listens.
DWORD ConnectToRelay(std::uint16_t port, std::string_view token, korvel_relay::Role role,
                     std::uint32_t deviceId, Socket& socket);

DWORD SendFrame(SOCKET socket, std::span<const std::uint8_t> frame);

// Waits until `socket` can be read from, until `deadline` (GetTickCount64 time; 0: no wait):
// ERROR_SEM_TIMEOUT when it cannot by then, ERROR_DEVICE_NOT_CONNECTED when select() fails.
DWORD WaitReadable(SOCKET socket, ULONGLONG deadline);

// Waits for a whole frame until `deadline` (GetTickCount64 time; 0: for ever).
// ERROR_SEM_TIMEOUT when none came in time, ERROR_DEVICE_NOT_CONNECTED when the relay closed
// the connection, ERROR_GEN_FAILURE for a frame longer than any the relay sends.
DWORD ReceiveFrame(SOCKET socket, std::vector<std::uint8_t>& frame, ULONGLONG deadline);

template <typename T> std::span<const std::uint8_t> AsBytes(const T& value) {
    return {reinterpret_cast<const std::uint8_t*>(&value), sizeof(T)};
}

} // namespace winekorvel
