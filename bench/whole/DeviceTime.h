// The time nerith-devsim's HC908 timing model makes the device spend on one update, worked out
// from the requests the simulator counted and the pages the image fills.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>

namespace nerith::bench {

struct DeviceWork {
    std::uint64_t requests = 0;
    std::uint64_t programmedBytes = 0;
    std::uint64_t erasedPages = 0;
    std::uint64_t massErases = 0;
};

double ModelledDeviceSeconds(const DeviceWork& work);

using RequestCounts = std::map<std::string, std::uint64_t>;
// The request counts of a "stats" reply; a count that is not a number is left out.
RequestCounts ParseRequestCounts(const std::string& statsReply);
// after - before, kind by kind (kinds first seen in `after` count from 0).
RequestCounts CountsBetween(const RequestCounts& before, const RequestCounts& after);
// Bytes of Flash #1 in pages the 1,024-entry page map marks: what one program pass writes.
std::uint64_t MarkedFlash1Bytes(std::span<const std::uint8_t> pageMap);
// Every request counted; each erase request erases the whole of Flash #1; each Flash #1 worth
// of program block requests writes the marked bytes once.
DeviceWork UpdateWork(const RequestCounts& counts, std::uint64_t markedFlash1Bytes);

} // namespace nerith::bench
