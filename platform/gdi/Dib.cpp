#include "platform/internal/dib.h"
#include "Bitmap.h"
#include "platform/internal/picture_limits.h"

#include <cstring>

namespace platform::gdi {

namespace {

struct DibLayout {
    int width = 0;
    int rows = 0; // rows of the colour image
    bool topDown = false;
    int bitCount = 0;
    std::size_t paletteOffset = 0;
    std::size_t paletteEntries = 0;
    std::size_t paletteEntrySize = 4;
    std::size_t bitsOffset = 0;
    std::size_t stride = 0;
};

template <typename T> T Read(const std::uint8_t* p) {
    T value;
    std::memcpy(&value, p, sizeof(T));
    return value;
}

bool SupportedDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

DWORD ReadCoreHeader(const std::uint8_t* p, DibLayout& layout) {
    const auto h = Read<BITMAPCOREHEADER>(p);
    if (h.bcPlanes != 1) {
        return ERROR_INVALID_DATA;
    }
    layout.width = h.bcWidth;
    layout.rows = h.bcHeight;
    layout.bitCount = h.bcBitCount;
    layout.paletteOffset = sizeof(BITMAPCOREHEADER);
    layout.paletteEntrySize = 3;
    layout.paletteEntries = h.bcBitCount <= 8 ? (std::size_t{1} << h.bcBitCount) : 0;
    return ERROR_SUCCESS;
}

DWORD ReadInfoHeader(const std::uint8_t* p, DWORD headerSize, DibLayout& layout) {
    const auto h = Read<BITMAPINFOHEADER>(p);
    if (h.biPlanes != 1) {
        return ERROR_INVALID_DATA;
    }
    if (h.biCompression != BI_RGB) {
        return ERROR_NOT_SUPPORTED;
    }
    if (h.biHeight == INT32_MIN || h.biWidth <= 0) {
        return ERROR_INVALID_DATA;
    }
    layout.width = h.biWidth;
    layout.topDown = h.biHeight < 0;
    layout.rows = layout.topDown ? -h.biHeight : h.biHeight;
    layout.bitCount = h.biBitCount;
    layout.paletteOffset = headerSize;
    const std::size_t maxEntries = h.biBitCount <= 8 ? (std::size_t{1} << h.biBitCount) : 0;
    layout.paletteEntries = h.biClrUsed ? h.biClrUsed : maxEntries;
    if (layout.paletteEntries > 256 && h.biBitCount <= 8) {
        return ERROR_INVALID_DATA;
    }
    return layout.paletteEntries > 65536 ? ERROR_INVALID_DATA : ERROR_SUCCESS;
}

DWORD ReadLayout(const std::uint8_t* p, std::size_t size, DibKind kind, DibLayout& layout) {
    if (size < 4) {
        return ERROR_INVALID_DATA;
    }
    const DWORD headerSize = Read<DWORD>(p);
    DWORD status = ERROR_INVALID_DATA;
    if (headerSize == sizeof(BITMAPCOREHEADER) && size >= headerSize) {
        status = ReadCoreHeader(p, layout);
    } else if (headerSize >= sizeof(BITMAPINFOHEADER) && headerSize <= 124 && size >= headerSize) {
        status = ReadInfoHeader(p, headerSize, layout);
    }
    if (status != ERROR_SUCCESS) {
        return status;
    }
    if (!SupportedDepth(layout.bitCount)) {
        return ERROR_NOT_SUPPORTED;
    }
    if (kind == DibKind::Icon) {
        layout.rows /= 2;
    }
    if (layout.width <= 0 || layout.rows <= 0) {
        return ERROR_INVALID_DATA;
    }
    if (!PictureSizeAllowed(layout.width, layout.rows)) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    layout.stride = ((static_cast<std::size_t>(layout.width) * layout.bitCount + 31) / 32) * 4;
    layout.bitsOffset = layout.paletteOffset + layout.paletteEntries * layout.paletteEntrySize;
    std::size_t needed = layout.bitsOffset + layout.stride * layout.rows;
    if (kind == DibKind::Icon) {
        needed += ((static_cast<std::size_t>(layout.width) + 31) / 32) * 4 * layout.rows;
    }
    return size >= needed ? ERROR_SUCCESS : ERROR_INVALID_DATA;
}

std::uint32_t PaletteColor(const std::uint8_t* dib, const DibLayout& layout, unsigned index) {
    if (index >= layout.paletteEntries) {
        return 0;
    }
    const std::uint8_t* e = dib + layout.paletteOffset + index * layout.paletteEntrySize;
    return (std::uint32_t{e[2]} << 16) | (std::uint32_t{e[1]} << 8) | e[0];
}

std::uint32_t PixelAt(const std::uint8_t* dib, const DibLayout& layout, const std::uint8_t* row,
                      std::size_t x) {
    switch (layout.bitCount) {
    case 1:
        return PaletteColor(dib, layout, (row[x >> 3] >> (7 - (x & 7))) & 1);
    case 4:
        return PaletteColor(dib, layout, (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF);
    case 8:
        return PaletteColor(dib, layout, row[x]);
    case 16: {
        const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
        const auto expand = [](unsigned c) { return (c << 3) | (c >> 2); };
        return (expand((v >> 10) & 31) << 16) | (expand((v >> 5) & 31) << 8) | expand(v & 31);
    }
    case 24:
        return (std::uint32_t{row[3 * x + 2]} << 16) | (std::uint32_t{row[3 * x + 1]} << 8) |
               row[3 * x];
    default:
        return Read<std::uint32_t>(row + 4 * x);
    }
}

// Row y of the image (0 = top) as stored.
const std::uint8_t* StoredRow(const std::uint8_t* base, std::size_t stride, int rows, bool topDown,
                              int y) {
    return base + stride * static_cast<std::size_t>(topDown ? y : rows - 1 - y);
}

// One stored row; the common true-colour depths without a per-pixel choice of depth.
void ReadRow(const std::uint8_t* dib, const DibLayout& layout, const std::uint8_t* row,
             std::uint32_t* target) {
    const auto width = static_cast<std::size_t>(layout.width);
    if (layout.bitCount == 24) {
        for (std::size_t x = 0; x < width; ++x, row += 3) {
            target[x] = (std::uint32_t{row[2]} << 16) | (std::uint32_t{row[1]} << 8) | row[0];
        }
        return;
    }
    if (layout.bitCount == 32) {
        std::memcpy(target, row, width * 4);
        return;
    }
    for (std::size_t x = 0; x < width; ++x) {
        target[x] = PixelAt(dib, layout, row, x);
    }
}

// The colour image, rows top-down, `layout.width` pixels apart from `out` on.
void ReadPixels(const std::uint8_t* dib, const DibLayout& layout, std::uint32_t* out) {
    for (int y = 0; y < layout.rows; ++y) {
        const std::uint8_t* row =
            StoredRow(dib + layout.bitsOffset, layout.stride, layout.rows, layout.topDown, y);
        ReadRow(dib, layout, row, out + static_cast<std::size_t>(y) * layout.width);
    }
}

void ReadMask(const std::uint8_t* dib, const DibLayout& layout, DibImage& image) {
    const std::size_t maskStride = ((static_cast<std::size_t>(layout.width) + 31) / 32) * 4;
    const std::uint8_t* mask = dib + layout.bitsOffset + layout.stride * layout.rows;
    image.andMask.resize(static_cast<std::size_t>(layout.width) * layout.rows);
    for (int y = 0; y < layout.rows; ++y) {
        const std::uint8_t* row = StoredRow(mask, maskStride, layout.rows, layout.topDown, y);
        for (int x = 0; x < layout.width; ++x) {
            image.andMask[static_cast<std::size_t>(y) * layout.width + x] =
                (row[x >> 3] >> (7 - (x & 7))) & 1;
        }
    }
}

} // namespace

DWORD DecodeDib(const void* dib, std::size_t size, DibKind kind, DibImage& image) {
    if (!dib) {
        return ERROR_INVALID_PARAMETER;
    }
    const auto* p = static_cast<const std::uint8_t*>(dib);
    DibLayout layout;
    if (const DWORD status = ReadLayout(p, size, kind, layout); status != ERROR_SUCCESS) {
        return status;
    }
    return NoThrow<DWORD>(ERROR_NOT_ENOUGH_MEMORY, [&] {
        image.width = layout.width;
        image.height = layout.rows;
        image.bitCount = layout.bitCount;
        image.pixels.resize(static_cast<std::size_t>(layout.width) * layout.rows);
        ReadPixels(p, layout, image.pixels.data());
        if (kind == DibKind::Icon) {
            ReadMask(p, layout, image);
        }
        return static_cast<DWORD>(ERROR_SUCCESS);
    });
}

std::vector<std::uint32_t> IconArgb(const DibImage& image) {
    std::vector<std::uint32_t> argb(image.pixels.size());
    bool hasAlpha = false;
    if (image.bitCount == 32) {
        for (std::uint32_t p : image.pixels) {
            hasAlpha = hasAlpha || (p >> 24) != 0;
        }
    }
    for (std::size_t i = 0; i < argb.size(); ++i) {
        const std::uint32_t rgb = image.pixels[i] & 0x00FFFFFFu;
        const bool transparent = i < image.andMask.size() && image.andMask[i];
        const std::uint32_t alpha = hasAlpha ? (image.pixels[i] >> 24) : (transparent ? 0u : 255u);
        argb[i] = (alpha << 24) | rgb;
    }
    return argb;
}

HBITMAP CreateBitmapFromDib(const void* dib, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(dib);
    DibLayout layout;
    const DWORD status = p ? ReadLayout(p, size, DibKind::Bitmap, layout) : ERROR_INVALID_PARAMETER;
    if (status != ERROR_SUCCESS) {
        SetLastError(status);
        return nullptr;
    }
    std::uint32_t* rows = nullptr;
    HBITMAP bitmap = CreateBitmapForRows(layout.width, layout.rows, &rows);
    if (bitmap) {
        ReadPixels(p, layout, rows);
    }
    return bitmap;
}

bool SkipBmpFileHeader(const std::uint8_t*& data, std::size_t& size) {
    if (!data || size < sizeof(BITMAPFILEHEADER) || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    data += sizeof(BITMAPFILEHEADER);
    size -= sizeof(BITMAPFILEHEADER);
    return true;
}

} // namespace platform::gdi
