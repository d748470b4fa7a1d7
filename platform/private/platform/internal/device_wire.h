// The packets that travel between a device handle and its driver over an AF_UNIX
// SOCK_SEQPACKET socket. platform/devices/WIRE.md describes the exchange; both the client
// (DeviceIoControl) and driver processes (nerith-devsim, test drivers) use these helpers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace platform::devices::wire {

constexpr std::uint32_t kMagic = 0x4E445631; // "NDV1"
// Bound on the input and the output of one request, on both sides of the socket.
constexpr std::uint32_t kMaxData = 64 * 1024;
constexpr std::size_t kHeaderSize = 20;
constexpr std::size_t kMaxPacket = kHeaderSize + kMaxData;
// A request may ask back for at most this many objects before its reply.
constexpr int kMaxObjectQueries = 4;

// No request waits for ever: a driver that has not answered a request within this time is
// taken for stalled, and the handle is broken. The slowest real request, an erase of the whole
// address space under nerith-devsim's --timing (1,024 pages of 2 ms), takes about 2 s.
constexpr std::uint32_t kRequestTimeoutMs = 10000;
// NERITH_TIME_SCALE shortens the platform's waits, but a driver keeps its own time, so under a
// small scale the time-out stays long enough for that erase on a busy machine.
constexpr std::uint32_t kRequestTimeoutFloorMs = 5000;
// The time-out in force: kRequestTimeoutMs scaled, never under the floor.
std::uint32_t RequestTimeoutMs();

enum class Kind : std::uint32_t {
    Request = 1,     // client -> driver: code, input length, output length, input bytes
    Reply = 2,       // driver -> client: status, bytes returned, output bytes
    ObjectQuery = 3, // driver -> client: "send me the object behind this handle value"
    ObjectAnswer = 4 // client -> driver: status, handle value, one descriptor when status is 0
};

struct Request {
    std::uint32_t code = 0;
    std::uint32_t outLength = 0;
    std::span<const std::uint8_t> input;
};

struct DriverMessage {
    Kind kind = Kind::Reply;
    std::uint32_t status = 0;             // Reply: a Win32 error code, 0 for success
    std::uint32_t handleValue = 0;        // ObjectQuery
    std::span<const std::uint8_t> output; // Reply
};

struct ObjectAnswer {
    std::uint32_t status = 0;
    std::uint32_t handleValue = 0;
};

std::vector<std::uint8_t> EncodeRequest(std::uint32_t code, std::span<const std::uint8_t> input,
                                        std::uint32_t outLength);
std::vector<std::uint8_t> EncodeReply(std::uint32_t status, std::span<const std::uint8_t> output);
std::vector<std::uint8_t> EncodeObjectQuery(std::uint32_t handleValue);
std::vector<std::uint8_t> EncodeObjectAnswer(std::uint32_t status, std::uint32_t handleValue);

// Each parser returns false for anything but a well-formed packet of its kind; the views it
// fills point into `packet`.
bool ParseRequest(std::span<const std::uint8_t> packet, Request& request);
// `outCapacity` is the output length the client asked for: a reply may not return more.
bool ParseDriverMessage(std::span<const std::uint8_t> packet, std::uint32_t outCapacity,
                        DriverMessage& message);
bool ParseObjectAnswer(std::span<const std::uint8_t> packet, ObjectAnswer& answer);

} // namespace platform::devices::wire
