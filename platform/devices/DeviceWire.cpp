#include "platform/internal/device_wire.h"

#include <cstring>

namespace platform::devices::wire {

namespace {

// Every packet opens with five 32-bit words in host order: magic, kind and three values
// whose meaning depends on the kind.
struct Header {
    std::uint32_t magic;
    std::uint32_t kind;
    std::uint32_t value[3];
};
static_assert(sizeof(Header) == kHeaderSize);

std::vector<std::uint8_t> Encode(Kind kind, std::uint32_t a, std::uint32_t b, std::uint32_t c,
                                 std::span<const std::uint8_t> body) {
    const Header header{kMagic, static_cast<std::uint32_t>(kind), {a, b, c}};
    std::vector<std::uint8_t> packet(kHeaderSize + body.size());
    std::memcpy(packet.data(), &header, kHeaderSize);
    if (!body.empty()) {
        std::memcpy(packet.data() + kHeaderSize, body.data(), body.size());
    }
    return packet;
}

bool ReadHeader(std::span<const std::uint8_t> packet, Kind kind, Header& header) {
    if (packet.size() < kHeaderSize || packet.size() > kMaxPacket) {
        return false;
    }
    std::memcpy(&header, packet.data(), kHeaderSize);
    return header.magic == kMagic && header.kind == static_cast<std::uint32_t>(kind);
}

std::span<const std::uint8_t> Body(std::span<const std::uint8_t> packet) {
    return packet.subspan(kHeaderSize);
}

} // namespace

std::vector<std::uint8_t> EncodeRequest(std::uint32_t code, std::span<const std::uint8_t> input,
                                        std::uint32_t outLength) {
    return Encode(Kind::Request, code, static_cast<std::uint32_t>(input.size()), outLength, input);
}

std::vector<std::uint8_t> EncodeReply(std::uint32_t status, std::span<const std::uint8_t> output) {
    return Encode(Kind::Reply, status, static_cast<std::uint32_t>(output.size()), 0, output);
}

std::vector<std::uint8_t> EncodeObjectQuery(std::uint32_t handleValue) {
    return Encode(Kind::ObjectQuery, handleValue, 0, 0, {});
}

std::vector<std::uint8_t> EncodeObjectAnswer(std::uint32_t status, std::uint32_t handleValue) {
    return Encode(Kind::ObjectAnswer, status, handleValue, 0, {});
}

bool ParseRequest(std::span<const std::uint8_t> packet, Request& request) {
    Header header{};
    if (!ReadHeader(packet, Kind::Request, header)) {
        return false;
    }
    const std::uint32_t inLength = header.value[1];
    const std::uint32_t outLength = header.value[2];
    if (inLength > kMaxData || outLength > kMaxData || Body(packet).size() != inLength) {
        return false;
    }
    request = {header.value[0], outLength, Body(packet)};
    return true;
}

bool ParseDriverMessage(std::span<const std::uint8_t> packet, std::uint32_t outCapacity,
                        DriverMessage& message) {
    Header header{};
    if (ReadHeader(packet, Kind::ObjectQuery, header)) {
        if (!Body(packet).empty()) {
            return false;
        }
        message = {Kind::ObjectQuery, 0, header.value[0], {}};
        return true;
    }
    if (!ReadHeader(packet, Kind::Reply, header)) {
        return false;
    }
    const std::uint32_t returned = header.value[1];
    if (returned > outCapacity || Body(packet).size() != returned) {
        return false;
    }
    // A failed request carries no output.
    if (header.value[0] != 0 && returned != 0) {
        return false;
    }
    message = {Kind::Reply, header.value[0], 0, Body(packet)};
    return true;
}

bool ParseObjectAnswer(std::span<const std::uint8_t> packet, ObjectAnswer& answer) {
    Header header{};
    if (!ReadHeader(packet, Kind::ObjectAnswer, header) || !Body(packet).empty()) {
        return false;
    }
    answer = {header.value[0], header.value[1]};
    return true;
}

} // namespace platform::devices::wire
