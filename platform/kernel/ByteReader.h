// Bounds-checked little-endian reads from a byte range that came from outside (a .res file, a
// PE image). Every read says whether it fitted; nothing is ever read past the end.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::kernel {

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t Size() const { return size_; }
    const std::uint8_t* Data() const { return data_; }

    bool Fits(std::size_t offset, std::size_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    bool U16(std::size_t offset, std::uint16_t& value) const {
        if (!Fits(offset, 2)) {
            return false;
        }
        value = static_cast<std::uint16_t>(data_[offset] | (data_[offset + 1] << 8));
        return true;
    }
    bool U32(std::size_t offset, std::uint32_t& value) const {
        if (!Fits(offset, 4)) {
            return false;
        }
        value = static_cast<std::uint32_t>(data_[offset]) |
                (static_cast<std::uint32_t>(data_[offset + 1]) << 8) |
                (static_cast<std::uint32_t>(data_[offset + 2]) << 16) |
                (static_cast<std::uint32_t>(data_[offset + 3]) << 24);
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

} // namespace platform::kernel
