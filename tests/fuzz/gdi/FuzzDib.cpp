// Packed DIBs as bitmap resources and icons hold them: refused or decoded, never read past
// the bytes given.
#include "platform/gdi32.h"
#include "platform/internal/dib.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Exact-size copy, so the sanitizer sees any read past the end.
    const std::vector<std::uint8_t> bytes(data, data + size);
    platform::gdi::DibImage image;
    if (platform::gdi::DecodeDib(bytes.data(), bytes.size(), platform::gdi::DibKind::Icon, image) ==
        0) {
        platform::gdi::IconArgb(image);
    }
    HBITMAP bitmap = platform::gdi::CreateBitmapFromDib(bytes.data(), bytes.size());
    if (bitmap) {
        DeleteObject(bitmap);
    }
    return 0;
}
