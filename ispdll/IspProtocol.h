// The requests the ISP library sends to the MCU over the Nerith driver ("\\.\korvel") while
// the device is in programming mode. Shared by ispdll and the simulated device.
#pragma once

#include <cstdint>

namespace isp_protocol {

// Driver control codes: device type 0x22, functions 0xA00 and up, METHOD_BUFFERED.
constexpr std::uint32_t Code(std::uint32_t function) {
    return (0x22u << 16) | (function << 2);
}
constexpr std::uint32_t kOpen = Code(0xA00);      // in: OpenParameters
constexpr std::uint32_t kClose = Code(0xA01);     // no input
constexpr std::uint32_t kErase = Code(0xA02);     // in: EraseRange
constexpr std::uint32_t kMassErase = Code(0xA03); // no input
constexpr std::uint32_t kProgram = Code(0xA04);   // in: BlockHeader + `length` bytes
constexpr std::uint32_t kVerify = Code(0xA05);    // in: BlockHeader + `length` bytes
constexpr std::uint32_t kRead = Code(0xA06);      // in: ReadRange; out: `length` bytes

constexpr std::uint32_t kAddressSpace = 0x10000;
constexpr std::uint32_t kPageSize = 64;
// A block request names at most 64 pages, one bit each.
constexpr std::uint32_t kMaxBlockPages = 64;

struct OpenParameters {
    std::uint32_t param1;
    std::uint32_t param2;
    std::uint32_t param3;
    std::uint32_t startAddress;
    std::uint32_t lastAddress;
    std::uint32_t vectorFirst;
    std::uint32_t param7;
    std::uint8_t param8;
    std::uint8_t param9;
    std::uint8_t reserved[2];
    std::uint32_t wholeErase;
};
static_assert(sizeof(OpenParameters) == 36);

struct EraseRange {
    std::uint16_t first;
    std::uint16_t last;
    std::uint32_t blockSize;
};
static_assert(sizeof(EraseRange) == 8);

// Bit n of pageMask stands for the n-th 64-byte page the block touches, counted from the
// page that holds `first`. Only the bytes of marked pages are programmed or compared.
struct BlockHeader {
    std::uint16_t first;
    std::uint16_t length;
    std::uint8_t pageMask[kMaxBlockPages / 8];
};
static_assert(sizeof(BlockHeader) == 12);

struct ReadRange {
    std::uint16_t first;
    std::uint16_t length;
};
static_assert(sizeof(ReadRange) == 4);

inline std::uint32_t PagesTouched(std::uint32_t first, std::uint32_t length) {
    return length == 0 ? 0 : ((first + length - 1) / kPageSize) - (first / kPageSize) + 1;
}

inline bool PageMarked(const BlockHeader& header, std::uint32_t address) {
    const std::uint32_t page = address / kPageSize - header.first / kPageSize;
    return (header.pageMask[page / 8] >> (page % 8)) & 1u;
}

} // namespace isp_protocol
