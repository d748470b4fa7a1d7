// The MCU's 64 KiB of flash with the rules of real NOR flash: erasing works on whole 64-byte
// pages and sets them to 0xFF; programming can only clear bits.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace devsim {

class FlashMemory {
public:
    static constexpr std::uint32_t kSize = 0x10000;
    static constexpr std::uint32_t kPageSize = 64;

    FlashMemory() { data_.fill(0xFF); }

    // Erases every page that holds a byte of first..last; returns the number of pages.
    std::uint32_t ErasePages(std::uint16_t first, std::uint16_t last);
    void EraseAll() { data_.fill(0xFF); }
    void Program(std::uint32_t address, std::uint8_t value) { data_[address % kSize] &= value; }
    // Stores without the programming rule: loading an image, not a write by the MCU.
    void Load(std::uint32_t address, std::uint8_t value) { data_[address % kSize] = value; }
    std::uint8_t At(std::uint32_t address) const { return data_[address % kSize]; }
    std::span<const std::uint8_t> Bytes() const { return data_; }

private:
    std::array<std::uint8_t, kSize> data_;
};

} // namespace devsim
