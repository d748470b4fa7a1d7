#include "FlashMemory.h"

#include <algorithm>

namespace devsim {

std::uint32_t FlashMemory::ErasePages(std::uint16_t first, std::uint16_t last) {
    const std::uint32_t begin = first / kPageSize * kPageSize;
    const std::uint32_t end = (last / kPageSize + 1) * kPageSize;
    std::fill(data_.begin() + begin, data_.begin() + end, 0xFF);
    return (end - begin) / kPageSize;
}

} // namespace devsim
