// One open "\\.\NAME" handle: a connected SOCK_SEQPACKET socket to the driver. Requests on
// one handle are serialised, as synchronous I/O on a Windows handle is, and each one ends
// within the request time-out.
#pragma once

#include "kernel/Deadline.h"
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
                   std::vector<std::uint8_t>& output, const kernel::Deadline& deadline);
    DWORD Send(const std::vector<std::uint8_t>& packet, int fd, const kernel::Deadline& deadline);
    DWORD Receive(std::vector<std::uint8_t>& packet, const kernel::Deadline& deadline);
    DWORD AnswerObjectQuery(std::uint32_t handleValue, const kernel::Deadline& deadline);
    DWORD WaitReady(short events, const kernel::Deadline& deadline);
    DWORD Break(DWORD error) {
        broken_ = true;
        return error;
    }

    std::mutex mutex_;
    kernel::UniqueFd socket_;
    // Set once the peer vanished, broke the protocol or did not answer in time: the stream can
    // no longer be trusted, and a late reply must not pass for the answer to a later request.
    bool broken_ = false;
};

} // namespace platform::devices
