#include "MaskBitmaps.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace nerith::bench {

namespace {

constexpr std::uint32_t kOutside = 0x00FFFFFFu;
constexpr std::uint32_t kInside = 0x00203040u;

MaskDib MakeDib(int width, int height) {
    BITMAPINFO bmi{};
    bmi.bmiHeader =
        BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        return MaskDib();
    }
    return MaskDib(bitmap, bits, static_cast<std::size_t>(width) * height * 4);
}

bool OutsideFullHdShape(int x, int y) {
    const double cx = std::min(x, 1919 - x);
    const double cy = std::min(y, 1079 - y);
    const bool corner = cx < 60 && cy < 60 && std::hypot(60 - cx, 60 - cy) > 60;
    const bool hole = std::hypot(x - 960.0, y - 540.0) < 200;
    return corner || hole;
}

} // namespace

MaskDib::~MaskDib() {
    if (bitmap) {
        DeleteObject(bitmap);
    }
}

MaskDib CopyToDib(HBITMAP source) {
    BITMAP info{};
    if (!source || GetObjectA(source, sizeof(info), &info) == 0) {
        return MaskDib();
    }
    MaskDib dib = MakeDib(info.bmWidth, info.bmHeight);
    if (!dib.bits) {
        return dib;
    }
    HDC from = CreateCompatibleDC(nullptr);
    HDC to = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFrom = SelectObject(from, source);
    HGDIOBJ oldTo = SelectObject(to, dib.bitmap);
    const BOOL copied = BitBlt(to, 0, 0, info.bmWidth, info.bmHeight, from, 0, 0, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    if (!copied) {
        return MaskDib();
    }
    return dib;
}

MaskDib FullHdMask() {
    MaskDib dib = MakeDib(1920, 1080);
    if (!dib.bits) {
        return dib;
    }
    auto* pixels = static_cast<std::uint32_t*>(dib.bits);
    for (int row = 0; row < 1080; ++row) {
        const int y = 1079 - row; // bottom-up rows
        for (int x = 0; x < 1920; ++x) {
            pixels[row * 1920 + x] = OutsideFullHdShape(x, y) ? kOutside : kInside;
        }
    }
    return dib;
}

} // namespace nerith::bench
