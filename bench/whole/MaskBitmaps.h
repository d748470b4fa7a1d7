// Masks for the region benchmarks as 32-bit DIB sections, whose pixels a memcpy can read.
#pragma once

#include "platform/win32.h"

#include <cstddef>
#include <utility>

namespace nerith::bench {

// Owns its DIB section; `bits` is null when it could not be made.
class MaskDib {
public:
    MaskDib() = default;
    MaskDib(HBITMAP bitmap, void* bits, std::size_t bytes)
        : bitmap(bitmap), bits(bits), bytes(bytes) {}
    ~MaskDib();
    MaskDib(MaskDib&& other) noexcept
        : bitmap(std::exchange(other.bitmap, nullptr)), bits(std::exchange(other.bits, nullptr)),
          bytes(std::exchange(other.bytes, 0)) {}
    MaskDib(const MaskDib&) = delete;
    MaskDib& operator=(const MaskDib&) = delete;

    HBITMAP bitmap = nullptr;
    void* bits = nullptr;
    std::size_t bytes = 0;
};

// A DIB section holding the pixels of `source`.
MaskDib CopyToDib(HBITMAP source);
// 1920 x 1080, white outside rounded corners and a round hole: long runs, some rows split.
MaskDib FullHdMask();

} // namespace nerith::bench
