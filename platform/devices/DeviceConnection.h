// One open "\\.\NAME" handle: a connected SOCK_SEQPACKET socket to the driver. Requests on
// one handle are serialised, as synchronous I/O on a Windows handle is.
#pragma once

#include "platform/internal/UniqueFd.h"
#include "platform/internal/device_wire.h"
#include "platform/internal/kernel_object.h"

#include <mutex>
#include <vector>

namespace platform::devices {

class DeviceConnection : public kernel::KernelObject {
public:
    explicit DeviceConnection(kernel::UniqueFd socket) : socket_(std::move(socket)) {}

    // Returns a Win32 error code; on success `output` holds what the driver returned.
    DWORD Control(DWORD code, std::span<const std::uint8_t> input, DWORD outLength,
                  std::vector<std::uint8_t>& output);

private:
    DWORD Exchange(DWORD code, std::span<const std::uint8_t> input, DWORD outLength,
                   std::vector<std::uint8_t>& output);
    DWORD Send(const std::vector<std::uint8_t>& packet, int fd);
    DWORD Receive(std::vector<std::uint8_t>& packet);
    DWORD AnswerObjectQuery(std::uint32_t handleValue);

    std::mutex mutex_;
    kernel::UniqueFd socket_;
    // Set once the peer vanished or broke the protocol: the stream can no longer be trusted.
    bool broken_ = false;
};

} // namespace platform::devices
