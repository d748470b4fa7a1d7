// Streams over global memory and pictures decoded from them.
#include "EncodeJpeg.h"
#include "PictureStream.h"
#include "platform/gdi32.h"
#include "platform/kernel32.h"
#include "platform/ole2.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

using namespace win32test;

namespace {

// 16 x 8 pixels in four solid 8 x 8 blocks of two colours (JPEG keeps solid blocks nearly exact).
std::vector<std::uint32_t> Blocks() {
    std::vector<std::uint32_t> pixels(std::size_t{16} * 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            pixels[y * 16 + x] = x < 8 ? 0x00C03020u : 0x002040E0u;
        }
    }
    return pixels;
}

// The 16 x 8 picture with its frame header (SOF0: length, precision, height, width) claiming
// another size.
std::vector<std::uint8_t> ClaimingSize(int width, int height) {
    auto jpeg = jpeg_encoder::EncodeJpeg(Blocks(), 16, 8, 100);
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<std::uint8_t>(height & 0xFF);
            jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<std::uint8_t>(width & 0xFF);
            break;
        }
    }
    return jpeg;
}

void ExpectNear(COLORREF actual, std::uint32_t rgb, int tolerance) {
    EXPECT_NEAR(GetRValue(actual), static_cast<int>((rgb >> 16) & 0xFF), tolerance);
    EXPECT_NEAR(GetGValue(actual), static_cast<int>((rgb >> 8) & 0xFF), tolerance);
    EXPECT_NEAR(GetBValue(actual), static_cast<int>(rgb & 0xFF), tolerance);
}

// An empty write succeeds without touching the block; a missing buffer is an error only when
// there is something to write.
TEST(HGlobalStream, EmptyWritesSucceedAndMissingBuffersAreRefused) {
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    ULONG written = 7;
    EXPECT_EQ(stream->Write(nullptr, 0, &written), S_OK);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(stream->Write(nullptr, 1, &written), E_POINTER);
    STATSTG stat{};
    ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, 0u);
    stream->Release();
}

TEST(OleLoadPicture, DecodesAJpegIntoABitmapOfItsPixelSize) {
    const auto jpeg = jpeg_encoder::EncodeJpeg(Blocks(), 16, 8, 100);
    IPicture* picture = nullptr;
    ASSERT_EQ(LoadPicture(jpeg, &picture), S_OK);
    OLE_HANDLE handle = 0;
    ASSERT_EQ(picture->get_Handle(&handle), S_OK);
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof(bm), &bm), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(bm.bmWidth, 16);
    EXPECT_EQ(bm.bmHeight, 8);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y : {0, 7}) {
        ExpectNear(GetPixel(dc, 0, y), 0x00C03020u, 3);
        ExpectNear(GetPixel(dc, 15, y), 0x002040E0u, 3);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    OLE_XSIZE_HIMETRIC width = 0;
    EXPECT_EQ(picture->get_Width(&width), S_OK);
    EXPECT_EQ(width, 423); // 16 px at 96 dpi in 0.01 mm
    SHORT type = 0;
    picture->get_Type(&type);
    EXPECT_EQ(type, PICTYPE_BITMAP);
    EXPECT_EQ(picture->Release(), 0u);
    EXPECT_EQ(GetObjectType(bitmap), 0u); // the picture owned the bitmap
}

// libjpeg fills the fourth byte of every pixel; a bitmap copied into a DIB section must not
// carry it along, as a 24-bit picture has no such byte.
TEST(OleLoadPicture, AJpegsBitmapHasNothingInTheFourthByte) {
    const auto jpeg = jpeg_encoder::EncodeJpeg(Blocks(), 16, 8, 100);
    IPicture* picture = nullptr;
    ASSERT_EQ(LoadPicture(jpeg, &picture), S_OK);
    OLE_HANDLE handle = 0;
    ASSERT_EQ(picture->get_Handle(&handle), S_OK);
    BITMAPINFO bmi{};
    bmi.bmiHeader =
        BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 16, -8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    HDC target = CreateCompatibleDC(nullptr);
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ oldTarget = SelectObject(target, section);
    HGDIOBJ oldSource =
        SelectObject(source, reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)));
    ASSERT_TRUE(BitBlt(target, 0, 0, 16, 8, source, 0, 0, SRCCOPY));
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < 16 * 8; ++i) {
        ASSERT_EQ(pixels[i] >> 24, 0u) << "pixel " << i;
        ASSERT_NE(pixels[i], 0u) << "pixel " << i << " was not copied";
    }
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    DeleteDC(source);
    DeleteDC(target);
    DeleteObject(section);
    picture->Release();
}

TEST(OleLoadPicture, EveryTruncatedJpegFails) {
    const auto jpeg = jpeg_encoder::EncodeJpeg(Blocks(), 16, 8, 100);
    for (std::size_t size = 0; size < jpeg.size(); ++size) {
        std::vector<std::uint8_t> cut(jpeg.begin(),
                                      jpeg.begin() + static_cast<std::ptrdiff_t>(size));
        IPicture* picture = reinterpret_cast<IPicture*>(1);
        const HRESULT hr = LoadPicture(cut, &picture);
        EXPECT_TRUE(FAILED(hr)) << size << " of " << jpeg.size() << " bytes";
        EXPECT_EQ(picture, nullptr);
    }
}

TEST(OleLoadPicture, RefusesGarbageAndHugePictures) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> noise(600);
    for (auto& b : noise) {
        b = static_cast<std::uint8_t>(random());
    }
    IPicture* picture = nullptr;
    EXPECT_EQ(LoadPicture(noise, &picture), CTL_E_INVALIDPICTURE);
    noise[0] = 0xFF;
    noise[1] = 0xD8;
    EXPECT_TRUE(FAILED(LoadPicture(noise, &picture)));

    // A valid picture whose frame header claims 20000 x 8 pixels.
    EXPECT_EQ(LoadPicture(ClaimingSize(20000, 8), &picture), E_OUTOFMEMORY);
}

// The size is judged from the frame header before any pixel is allocated: beyond 8192 on a
// side or 16 Mpixel in all is out of memory; a claim within the limits fails only because
// the data does not cover it.
TEST(OleLoadPicture, RefusesJpegsBeyondTheLimitsFromTheHeaderAlone) {
    struct Case {
        int width;
        int height;
        HRESULT hr;
    };
    const Case cases[] = {
        {16384, 16384, E_OUTOFMEMORY},
        {9000, 10, E_OUTOFMEMORY},
        {10, 9000, E_OUTOFMEMORY},
        {8193, 8, E_OUTOFMEMORY},
        {4097, 4096, E_OUTOFMEMORY},
        {8192, 2049, E_OUTOFMEMORY},
        {8192, 2048, CTL_E_INVALIDPICTURE},
        {4096, 4096, CTL_E_INVALIDPICTURE},
        {16, 8, S_OK},
    };
    for (const Case& c : cases) {
        IPicture* picture = nullptr;
        EXPECT_EQ(LoadPicture(ClaimingSize(c.width, c.height), &picture), c.hr)
            << c.width << " x " << c.height;
        EXPECT_EQ(picture != nullptr, c.hr == S_OK);
        if (picture) {
            picture->Release();
        }
    }
}

TEST(OleLoadPicture, RefusesABmpFileBeyondTheLimits) {
    std::vector<std::uint8_t> file(14 + 40 + 8 + 4);
    const BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(file.size()), 0, 0, 62};
    const BITMAPINFOHEADER ih{sizeof(BITMAPINFOHEADER), 16384, 16384, 1, 1, BI_RGB, 0, 0, 0, 2, 0};
    std::memcpy(file.data(), &fh, sizeof(fh));
    std::memcpy(file.data() + 14, &ih, sizeof(ih));
    IPicture* picture = nullptr;
    EXPECT_EQ(LoadPicture(file, &picture), E_OUTOFMEMORY);
    EXPECT_EQ(picture, nullptr);
}

TEST(OleLoadPicture, DecodesABmpFile) {
    std::vector<std::uint8_t> file(14 + 40 + 4);
    const BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(file.size()), 0, 0, 54};
    const BITMAPINFOHEADER ih{sizeof(BITMAPINFOHEADER), 1, 1, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::memcpy(file.data(), &fh, sizeof(fh));
    std::memcpy(file.data() + 14, &ih, sizeof(ih));
    file[54] = 0x30; // blue
    file[55] = 0x20; // green
    file[56] = 0x10; // red
    IPicture* picture = nullptr;
    ASSERT_EQ(LoadPicture(file, &picture), S_OK);
    OLE_HANDLE handle = 0;
    picture->get_Handle(&handle);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0x10, 0x20, 0x30));
    SelectObject(dc, old);
    DeleteDC(dc);
    picture->Release();
}

TEST(OleLoadPicture, ChecksItsArguments) {
    const auto jpeg = jpeg_encoder::EncodeJpeg(Blocks(), 16, 8, 100);
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(BlockWith(jpeg), TRUE, &stream), S_OK);
    void* object = nullptr;
    EXPECT_EQ(OleLoadPicture(stream, static_cast<LONG>(jpeg.size()), FALSE, IID_IStream, &object),
              E_NOINTERFACE);
    EXPECT_EQ(OleLoadPicture(nullptr, 10, FALSE, IID_IPicture, &object), E_INVALIDARG);
    EXPECT_EQ(OleLoadPicture(stream, 10, FALSE, IID_IPicture, nullptr), E_POINTER);
    EXPECT_TRUE(FAILED(
        OleLoadPicture(stream, static_cast<LONG>(jpeg.size()) + 5, FALSE, IID_IPicture, &object)));
    stream->Release();
}

} // namespace
