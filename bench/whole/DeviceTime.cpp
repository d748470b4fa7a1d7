#include "DeviceTime.h"

#include "CarriedImage.h"
#include "ControlClient.h"
#include "TimingModel.h"

#include <cerrno>
#include <cstdlib>

namespace nerith::bench {

namespace {

constexpr std::uint64_t kPageSize = 64;
constexpr std::uint64_t kBlockSize = 512;
constexpr std::uint64_t kFlash1Bytes = demo::kFlash1End - demo::kFlash1First;
constexpr std::uint64_t kFlash1Pages = kFlash1Bytes / kPageSize;
constexpr std::uint64_t kFlash1Blocks = kFlash1Bytes / kBlockSize;

std::uint64_t Count(const RequestCounts& counts, const char* kind) {
    const auto it = counts.find(kind);
    return it == counts.end() ? 0 : it->second;
}

} // namespace

double ModelledDeviceSeconds(const DeviceWork& work) {
    using devsim::TimingModel;
    const double microseconds =
        static_cast<double>(work.requests) * TimingModel::kRequestMicroseconds +
        static_cast<double>(work.programmedBytes) * TimingModel::kByteMicroseconds +
        static_cast<double>(work.erasedPages) * TimingModel::kPageEraseMicroseconds +
        static_cast<double>(work.massErases) * TimingModel::kMassEraseMicroseconds;
    return microseconds / 1e6;
}

RequestCounts ParseRequestCounts(const std::string& statsReply) {
    RequestCounts counts;
    for (const auto& [kind, number] : devsim::ReplyFields(statsReply)) {
        if (kind.empty() || number.empty() || number[0] == '-') {
            continue;
        }
        char* end = nullptr;
        errno = 0;
        const unsigned long long value = std::strtoull(number.c_str(), &end, 10);
        if (errno == 0 && *end == '\0') {
            counts[kind] = value;
        }
    }
    return counts;
}

RequestCounts CountsBetween(const RequestCounts& before, const RequestCounts& after) {
    RequestCounts difference;
    for (const auto& [kind, count] : after) {
        const std::uint64_t earlier = Count(before, kind.c_str());
        difference[kind] = count >= earlier ? count - earlier : 0;
    }
    return difference;
}

std::uint64_t MarkedFlash1Bytes(std::span<const std::uint8_t> pageMap) {
    std::uint64_t bytes = 0;
    for (std::uint64_t page = demo::kFlash1First / kPageSize;
         page < demo::kFlash1End / kPageSize && page < pageMap.size(); ++page) {
        if (pageMap[page] != 0) {
            bytes += kPageSize;
        }
    }
    return bytes;
}

DeviceWork UpdateWork(const RequestCounts& counts, std::uint64_t markedFlash1Bytes) {
    DeviceWork work;
    for (const auto& [kind, count] : counts) {
        work.requests += count;
    }
    work.programmedBytes = markedFlash1Bytes * Count(counts, "program") / kFlash1Blocks;
    work.erasedPages = Count(counts, "erase") * kFlash1Pages;
    work.massErases = Count(counts, "mass_erase");
    return work;
}

} // namespace nerith::bench
