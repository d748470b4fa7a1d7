// Packed DIBs (a BITMAPINFOHEADER or BITMAPCOREHEADER, its colour table, then the pixel rows)
// as bitmap and icon resources store them.
//
// For the window system:
//   DecodeDib(bytes, size, DibKind::Icon, image) decodes an icon image (RT_ICON): the header's
//   height counts the colour rows and the AND-mask rows below them, so image.height is half
//   of it and image.andMask holds one byte per pixel, 1 where the icon is transparent.
//   IconArgb(image) turns such an image into 0xAARRGGBB pixels, rows top-down, for
//   display::Backend::SetIcon: the alpha channel of a 32-bit image when it has one, else
//   opaque where the AND mask is 0.
//   CreateBitmapFromDib(bytes, size) makes a 32-bit bitmap of a bitmap resource (RT_BITMAP).
// Every header field is checked against the bytes present; 1, 4, 8, 16, 24 and 32 bits per
// pixel with BI_RGB are read, bottom-up and top-down; RLE and other compressions are refused
// with ERROR_NOT_SUPPORTED, bad headers and short data with ERROR_INVALID_DATA, and images
// beyond the picture limits (picture_limits.h) with ERROR_NOT_ENOUGH_MEMORY, before any pixel
// is allocated.
#pragma once

#include "platform/wintypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::gdi {

enum class DibKind { Bitmap, Icon };

struct DibImage {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    std::vector<std::uint32_t> pixels; // rows top-down; 0xXXRRGGBB, XX the 32-bit images' 4th byte
    std::vector<std::uint8_t> andMask; // icons only: 1 = transparent
};

// ERROR_SUCCESS, or the reason the bytes were refused.
DWORD DecodeDib(const void* dib, std::size_t size, DibKind kind, DibImage& image);

std::vector<std::uint32_t> IconArgb(const DibImage& image);

// A 32-bit device-dependent bitmap of the DIB; nullptr with the thread's last error set.
HBITMAP CreateBitmapFromDib(const void* dib, std::size_t size);

// A black device-dependent bitmap for a decoder to write its pixels straight into: `rows`
// receives its top row, the others following `width` pixels apart. The size must already be
// checked against the picture limits. nullptr with the thread's last error set.
HBITMAP CreateBitmapForRows(int width, int height, std::uint32_t** rows) noexcept;

// A BMP file starts with a 14-byte BITMAPFILEHEADER before the packed DIB. Moves `data` and
// `size` past it; false when the bytes are not a BMP file.
bool SkipBmpFileHeader(const std::uint8_t*& data, std::size_t& size);

} // namespace platform::gdi
