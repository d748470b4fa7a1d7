#include "SkinPixels.h"

#include "skin/SkinLibrary.h"

namespace nerith::e2e {

namespace {

testing::Image Pixels(HBITMAP hBitmap) {
    BITMAP bm{};
    ::GetObjectA(hBitmap, sizeof bm, &bm);
    testing::Image image(bm.bmWidth, bm.bmHeight);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const HDC hdcDib = ::CreateCompatibleDC(nullptr);
    const HDC hdcSource = ::CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    const HBITMAP hDib = ::CreateDIBSection(hdcDib, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ oldDib = ::SelectObject(hdcDib, hDib);
    const HGDIOBJ oldSource = ::SelectObject(hdcSource, hBitmap);
    ::BitBlt(hdcDib, 0, 0, bm.bmWidth, bm.bmHeight, hdcSource, 0, 0, SRCCOPY);
    const auto* rows = static_cast<const std::uint32_t*>(bits);
    for (int y = 0; y < bm.bmHeight; ++y) {
        for (int x = 0; x < bm.bmWidth; ++x) {
            image.Set(x, y, rows[(bm.bmHeight - 1 - y) * bm.bmWidth + x] & 0x00FFFFFF);
        }
    }
    ::SelectObject(hdcSource, oldSource);
    ::SelectObject(hdcDib, oldDib);
    ::DeleteObject(hDib);
    ::DeleteDC(hdcSource);
    ::DeleteDC(hdcDib);
    return image;
}

} // namespace

testing::Image SkinPicture(const char* id) {
    CBitmap picture;
    SIZE size{};
    LoadSkinJpeg(id, &picture, &size);
    return Pixels(picture);
}

testing::Image SkinMask() {
    CBitmap mask;
    SIZE size{};
    LoadSkinBitmap("1021", &mask, &size);
    return Pixels(mask);
}

bool MaskKeeps(const testing::Image& mask, int x, int y) {
    return mask.At(x, y) != 0x00FFFFFF;
}

} // namespace nerith::e2e
