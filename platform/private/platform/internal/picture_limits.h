// The largest picture that a bitmap resource or a JPEG may decode to. A header that claims more
// is refused before a single pixel is allocated: skin pictures are a few hundred pixels wide,
// and a claim of 16384 x 16384 would otherwise cost gigabytes for nothing anyone can show.
#pragma once

namespace platform::gdi {

constexpr long long kMaxPictureEdge = 8192;
constexpr long long kMaxPicturePixels = 16LL * 1024 * 1024;

constexpr bool PictureSizeAllowed(long long width, long long height) {
    return width <= kMaxPictureEdge && height <= kMaxPictureEdge &&
           width * height <= kMaxPicturePixels;
}

} // namespace platform::gdi
