#include "StreamFrames.h"

#include "RelayProtocol.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace korvel_relay {

void FrameReader::Append(std::span<const std::uint8_t> bytes) {
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

FrameReader::Next FrameReader::Take(std::vector<std::uint8_t>& frame) {
    if (buffer_.size() < kLengthSize) {
        return Next::Incomplete;
    }
    std::uint32_t length = 0;
    std::memcpy(&length, buffer_.data(), kLengthSize);
    if (length > kMaxFrame) {
        return Next::Oversized;
    }
    if (buffer_.size() - kLengthSize < length) {
        return Next::Incomplete;
    }
    const auto first = buffer_.begin() + kLengthSize;
    frame.assign(first, first + length);
    buffer_.erase(buffer_.begin(), first + length);
    return Next::Frame;
}

void Outbox::Push(std::span<const std::uint8_t> frame) {
    const auto length = static_cast<std::uint32_t>(frame.size());
    const auto* prefix = reinterpret_cast<const std::uint8_t*>(&length);
    bytes_.insert(bytes_.end(), prefix, prefix + kLengthSize);
    bytes_.insert(bytes_.end(), frame.begin(), frame.end());
}

bool Outbox::Flush(int socket) {
    while (!Empty()) {
        const ssize_t sent = ::send(socket, bytes_.data() + sent_, bytes_.size() - sent_,
                                    MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent < 0) {
            return errno == EAGAIN || errno == EWOULDBLOCK;
        }
        sent_ += static_cast<std::size_t>(sent);
    }
    bytes_.clear();
    sent_ = 0;
    return true;
}

} // namespace korvel_relay
