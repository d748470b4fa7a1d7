// The simulated driver's handling of a client's packet, with the device in programming mode
// and the ISP link open, so every request kind reaches its handler.
#include "NerithDevice.h"
#include "isp/IcpControlCode.h"
#include "ispdll/IspProtocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace wire = platform::devices::wire;
    static devsim::NerithDevice device;
    devsim::ClientState client{1, true, 0};
    const std::uint8_t enter = 1;
    device.Handle(client, {IOCTL_ENTER_ICP, 0, {&enter, 1}});
    wire::Request request;
    if (!wire::ParseRequest({data, size}, request)) {
        return 0;
    }
    const devsim::Outcome outcome = device.Handle(client, request);
    if (outcome.output.size() > request.outLength) {
        __builtin_trap();
    }
    return 0;
}
