#include "Bitmap.h"

#include "platform/kernel32.h"

#include <cstring>

namespace platform::gdi {

Bitmap::Bitmap(int width, int height)
    : GdiObject(OBJ_BITMAP), width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * height) {}

Bitmap::Bitmap(int width, int height, const BITMAPINFOHEADER& dib)
    : GdiObject(OBJ_BITMAP), width_(width), height_(height), isDib_(true),
      bottomUp_(dib.biHeight > 0), dib_(dib), pixels_(static_cast<std::size_t>(width) * height) {
    dib_.biSizeImage = static_cast<DWORD>(width) * 4u * static_cast<DWORD>(height);
}

PixelView Bitmap::View() {
    PixelView view;
    view.width = width_;
    view.height = height_;
    if (bottomUp_) {
        view.row0 = pixels_.data() + static_cast<std::ptrdiff_t>(height_ - 1) * width_;
        view.pitch = -width_;
    } else {
        view.row0 = pixels_.data();
        view.pitch = width_;
    }
    return view;
}

void Bitmap::FillBitmap(BITMAP& bm) {
    bm.bmType = 0;
    bm.bmWidth = width_;
    bm.bmHeight = height_;
    bm.bmWidthBytes = width_ * 4;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = 32;
    bm.bmBits = isDib_ ? pixels_.data() : nullptr;
}

void Bitmap::FillDibSection(DIBSECTION& ds) {
    std::memset(&ds, 0, sizeof(ds));
    FillBitmap(ds.dsBm);
    ds.dsBmih = dib_;
    // Windows reports the height without its sign: a top-down section does not show as one.
    ds.dsBmih.biHeight = height_;
}

bool AcceptableSize(int width, int height) {
    if (width > 0 && height > 0 && width <= Bitmap::kMaxEdge && height <= Bitmap::kMaxEdge) {
        return true;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

} // namespace platform::gdi
