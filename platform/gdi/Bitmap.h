// A 32-bit bitmap: a device-dependent bitmap (rows top-down) or a DIB section whose bits the
// caller also holds (rows bottom-up for a positive height). Either way every pixel is one
// 32-bit word 0x00RRGGBB, so drawing code sees both through one PixelView.
#pragma once

#include "GdiObject.h"
#include "platform/gdi32.h"
#include "platform/internal/surface.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace platform::gdi {

struct PixelView {
    std::uint32_t* row0 = nullptr; // row y = 0, the top row
    std::ptrdiff_t pitch = 0;      // pixels from one row to the next, negative when bottom-up
    int width = 0;
    int height = 0;

    std::uint32_t* Row(int y) const { return row0 + y * pitch; }
    RECT Bounds() const { return RECT{0, 0, width, height}; }
};

// The pixels behind one or more bitmaps. Bitmaps decoded from the same picture share them while
// none is drawn on (a skin loads one picture as several bitmaps); `offered` says others may
// still take a share.
struct SharedPixels {
    SharedPixels(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h) {}

    int width;
    int height;
    PixelVector pixels;
    std::atomic<bool> offered{false};
};

class Bitmap : public GdiObject {
public:
    // Largest edge accepted for any bitmap; larger requests are refused, not allocated.
    static constexpr int kMaxEdge = 16384;

    Bitmap(int width, int height);                              // device-dependent, black
    Bitmap(int width, int height, const BITMAPINFOHEADER& dib); // DIB section, zeroed
    explicit Bitmap(std::shared_ptr<SharedPixels> shared);      // device-dependent, shared

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool IsDibSection() const { return isDib_; }
    // Bits and View are for writing: pixels shared with another bitmap are copied first, and
    // both are empty when that copy cannot be made.
    void* Bits();
    PixelView View();
    PixelView ReadView() const;
    // Lets bitmaps made from the result share these pixels until one of them is drawn on.
    std::weak_ptr<SharedPixels> Offer();
    // The pixels still offered, for a new bitmap to share; nullptr once drawn on or deleted.
    static std::shared_ptr<SharedPixels> TakeShare(const std::weak_ptr<SharedPixels>& offered);
    void FillBitmap(BITMAP& bm);
    void FillDibSection(DIBSECTION& ds);

    HDC selectedInto = nullptr; // a bitmap lives in at most one DC at a time

private:
    bool Own();

    int width_;
    int height_;
    bool isDib_ = false;
    bool bottomUp_ = false;
    BITMAPINFOHEADER dib_{};
    std::shared_ptr<SharedPixels> store_;
};

// Checks a requested size against kMaxEdge; sets ERROR_INVALID_PARAMETER when refused.
bool AcceptableSize(int width, int height);

} // namespace platform::gdi
