// Frames on a TCP stream (see RelayProtocol.h): a reader that cuts the bytes received so far
// into frames, and an outbox that keeps what a non-blocking send could not take yet.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace korvel_relay {

class FrameReader {
public:
    enum class Next { Frame, Incomplete, Oversized };

    void Append(std::span<const std::uint8_t> bytes);
    // Takes the next whole frame off the front. A length above kMaxFrame is Oversized: the
    // peer is not one of ours, and nothing after it can be trusted.
    Next Take(std::vector<std::uint8_t>& frame);

private:
    std::vector<std::uint8_t> buffer_;
};

class Outbox {
public:
    void Push(std::span<const std::uint8_t> frame);
    // Sends as much as the socket takes now; false when the peer is gone.
    bool Flush(int socket);
    bool Empty() const { return sent_ == bytes_.size(); }
    std::size_t Pending() const { return bytes_.size() - sent_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t sent_ = 0;
};

// The frame that carries one plain structure.
template <typename T> std::span<const std::uint8_t> AsFrame(const T& value) {
    return {reinterpret_cast<const std::uint8_t*>(&value), sizeof(T)};
}

} // namespace korvel_relay
