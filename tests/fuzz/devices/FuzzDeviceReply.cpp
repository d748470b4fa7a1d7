// The client's reading of what a driver sends back: the first four bytes choose the output
// length the client asked for, the rest is the packet.
#include "platform/internal/device_wire.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace wire = platform::devices::wire;
    if (size < 4) {
        return 0;
    }
    std::uint32_t capacity = 0;
    std::memcpy(&capacity, data, 4);
    capacity %= wire::kMaxData + 1;
    wire::DriverMessage message;
    if (wire::ParseDriverMessage({data + 4, size - 4}, capacity, message) &&
        message.kind == wire::Kind::Reply &&
        (message.output.size() > capacity || (message.status != 0 && !message.output.empty()))) {
        __builtin_trap();
    }
    wire::ObjectAnswer answer;
    wire::ParseObjectAnswer({data + 4, size - 4}, answer);
    return 0;
}
