#include "IconFile.h"

namespace nerith::icon {

namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::uint32_t kInfoHeaderSize = 40;

std::uint32_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8);
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return U16(b, at) | (U16(b, at + 2) << 16);
}

// An entry's width or height byte: 0 stands for 256.
int Dimension(std::uint8_t byte) {
    return byte == 0 ? 256 : byte;
}

std::optional<IconImage> ParseEntry(const std::vector<std::uint8_t>& bytes, std::size_t entry,
                                    std::string* error) {
    const int width = Dimension(bytes[entry]);
    const int height = Dimension(bytes[entry + 1]);
    const std::uint64_t size = U32(bytes, entry + 8);
    const std::uint64_t offset = U32(bytes, entry + 12);
    const std::uint64_t pixels = static_cast<std::uint64_t>(width) * height * 4;
    if (offset + size > bytes.size() || size < kInfoHeaderSize + pixels) {
        *error = "an image lies outside the file or is too short";
        return std::nullopt;
    }
    const std::size_t info = static_cast<std::size_t>(offset);
    const bool bgra = U32(bytes, info) == kInfoHeaderSize &&
                      static_cast<int>(U32(bytes, info + 4)) == width &&
                      static_cast<int>(U32(bytes, info + 8)) == height * 2 &&
                      U16(bytes, info + 14) == 32 && U32(bytes, info + 16) == 0;
    if (!bgra) {
        *error = "an image is not a 32-bit uncompressed bitmap of its entry's size";
        return std::nullopt;
    }
    IconImage image{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(pixels))};
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        const std::size_t from = info + kInfoHeaderSize + (height - 1 - y) * rowBytes;
        for (std::size_t x = 0; x < rowBytes; x += 4) {
            std::uint8_t* to = &image.rgba[y * rowBytes + x];
            to[0] = bytes[from + x + 2];
            to[1] = bytes[from + x + 1];
            to[2] = bytes[from + x];
            to[3] = bytes[from + x + 3];
        }
    }
    return image;
}

} // namespace

std::optional<std::vector<IconImage>> ParseIcon(const std::vector<std::uint8_t>& bytes,
                                                std::string* error) {
    if (bytes.size() < kHeaderSize || U16(bytes, 0) != 0 || U16(bytes, 2) != 1) {
        *error = "not an icon file";
        return std::nullopt;
    }
    const std::size_t count = U16(bytes, 4);
    if (count == 0 || bytes.size() < kHeaderSize + count * kEntrySize) {
        *error = "the icon's directory is empty or cut short";
        return std::nullopt;
    }
    std::vector<IconImage> images;
    for (std::size_t i = 0; i < count; ++i) {
        auto image = ParseEntry(bytes, kHeaderSize + i * kEntrySize, error);
        if (!image) {
            return std::nullopt;
        }
        images.push_back(std::move(*image));
    }
    return images;
}

} // namespace nerith::icon
