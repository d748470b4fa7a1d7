#include "BlockTransfer.h"

#include "IspLink.h"
#include "IspProtocol.h"

#include <cstring>
#include <new>
#include <vector>

namespace {

namespace proto = isp_protocol;

// Requests end at 4 KiB boundaries, so none touches more pages than its mask can name.
constexpr DWORD kChunkMask = proto::kMaxBlockPages * proto::kPageSize - 1;

bool Consistent(const BlockArguments& b) {
    return b.image && b.pageMap && b.blockSize != 0 && b.first <= b.last &&
           b.last < proto::kAddressSpace && b.firstHigh == (b.first >> 8) &&
           b.lastHigh == (b.last >> 8) && b.length == b.last - b.first + 1 &&
           b.lengthHigh == (b.length >> 8);
}

bool Marked(const BYTE* pageMap, DWORD address) {
    return pageMap[address / proto::kPageSize];
}

// Builds the request for first..last; returns false when no page of it is marked.
bool BuildRequest(const BlockArguments& b, DWORD first, DWORD last,
                  std::vector<std::uint8_t>& request) {
    proto::BlockHeader header{
        static_cast<std::uint16_t>(first), static_cast<std::uint16_t>(last - first + 1), {}};
    bool any = false;
    for (DWORD page = first / proto::kPageSize; page <= last / proto::kPageSize; ++page) {
        if (b.pageMap[page]) {
            const DWORD bit = page - first / proto::kPageSize;
            header.pageMask[bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
            any = true;
        }
    }
    request.resize(sizeof(header) + header.length);
    std::memcpy(request.data(), &header, sizeof(header));
    std::memcpy(request.data() + sizeof(header), b.image + first, header.length);
    return any;
}

IspStatus ReadBack(const IspLink& link, const BlockArguments& b, DWORD first, DWORD last) {
    const proto::ReadRange range{static_cast<std::uint16_t>(first),
                                 static_cast<std::uint16_t>(last - first + 1)};
    std::vector<std::uint8_t> flash(range.length);
    if (link.Send(proto::kRead, &range, sizeof(range), flash.data(), range.length) !=
        ERROR_SUCCESS) {
        return ISP_DEVICE_ERROR;
    }
    for (DWORD address = first; address <= last; ++address) {
        if (Marked(b.pageMap, address) && flash[address - first] != b.image[address]) {
            return ISP_MISMATCH;
        }
    }
    return ISP_OK;
}

IspStatus TransferChunk(const IspLink& link, const BlockArguments& b, DWORD first, DWORD last,
                        BlockOperation operation) {
    std::vector<std::uint8_t> request;
    const bool marked = BuildRequest(b, first, last, request);
    const DWORD code = operation == BlockOperation::Program ? proto::kProgram : proto::kVerify;
    const DWORD result = link.Send(code, request.data(), static_cast<DWORD>(request.size()));
    if (result == ERROR_INVALID_DATA && operation == BlockOperation::Verify) {
        return ISP_MISMATCH;
    }
    if (result != ERROR_SUCCESS) {
        return ISP_DEVICE_ERROR;
    }
    const bool readBack = operation == BlockOperation::Program && marked;
    return readBack ? ReadBack(link, b, first, last) : ISP_OK;
}

} // namespace

IspStatus TransferBlock(const BlockArguments& block, BlockOperation operation) {
    const IspLink& link = IspLink::Instance();
    if (!link.IsOpen()) {
        return ISP_NOT_OPEN;
    }
    if (!Consistent(block) || !link.Covers(block.first, block.last)) {
        return ISP_BAD_ARGUMENT;
    }
    try {
        for (DWORD first = block.first; first <= block.last;) {
            const DWORD last = std::min(block.last, first | kChunkMask);
            if (const IspStatus status = TransferChunk(link, block, first, last, operation)) {
                return status;
            }
            first = last + 1;
        }
    } catch (const std::bad_alloc&) {
        return ISP_DEVICE_ERROR;
    }
    return ISP_OK;
}
