// Packed DIBs as bitmap and icon resources hold them: every depth, both row orders, palettes,
// and refusal of anything that does not add up.
#include "platform/gdi32.h"
#include "platform/internal/dib.h"
#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// The reference image, 3 x 2: top row red, green, blue; bottom row white, black, grey.
const COLORREF kImage[2][3] = {{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)},
                               {RGB(255, 255, 255), RGB(0, 0, 0), RGB(128, 128, 128)}};

struct DibBuilder {
    int bits;
    bool topDown;
    std::vector<BYTE> bytes;

    DibBuilder(int bitCount, bool topDownRows, DWORD colorsUsed = 0)
        : bits(bitCount), topDown(topDownRows) {
        BITMAPINFOHEADER h{sizeof(BITMAPINFOHEADER),
                           3,
                           topDown ? -2 : 2,
                           1,
                           static_cast<WORD>(bits),
                           BI_RGB,
                           0,
                           0,
                           0,
                           colorsUsed,
                           0};
        Append(&h, sizeof(h));
    }
    void Append(const void* p, std::size_t n) {
        const auto* b = static_cast<const BYTE*>(p);
        bytes.insert(bytes.end(), b, b + n);
    }
    void Palette(const std::vector<COLORREF>& colors) {
        for (COLORREF c : colors) {
            const RGBQUAD q{GetBValue(c), GetGValue(c), GetRValue(c), 0};
            Append(&q, sizeof(q));
        }
    }
    // Rows in stored order; `index` gives each pixel's stored value for indexed depths.
    void Rows(const int index[2][3]) {
        for (int stored = 0; stored < 2; ++stored) {
            const int y = topDown ? stored : 1 - stored;
            std::vector<BYTE> row(static_cast<std::size_t>((3 * bits + 31) / 32) * 4, 0);
            for (std::size_t x = 0; x < 3; ++x) {
                const COLORREF c = kImage[y][x];
                switch (bits) {
                case 1:
                    row[0] |= static_cast<BYTE>(index[y][x] << (7 - x));
                    break;
                case 4:
                    row[x / 2] |= static_cast<BYTE>(index[y][x] << ((x & 1) ? 0 : 4));
                    break;
                case 8:
                    row[x] = static_cast<BYTE>(index[y][x]);
                    break;
                case 16: {
                    const WORD v =
                        static_cast<WORD>(((GetRValue(c) >> 3) << 10) | ((GetGValue(c) >> 3) << 5) |
                                          (GetBValue(c) >> 3));
                    row[2 * x] = static_cast<BYTE>(v & 0xFF);
                    row[2 * x + 1] = static_cast<BYTE>(v >> 8);
                    break;
                }
                case 24:
                    row[3 * x] = GetBValue(c);
                    row[3 * x + 1] = GetGValue(c);
                    row[3 * x + 2] = GetRValue(c);
                    break;
                default:
                    row[4 * x] = GetBValue(c);
                    row[4 * x + 1] = GetGValue(c);
                    row[4 * x + 2] = GetRValue(c);
                    break;
                }
            }
            Append(row.data(), row.size());
        }
    }
};

COLORREF Expected(int bits, int x, int y, bool paletteForOneBit) {
    if (bits == 16) { // five bits per channel, widened again
        const COLORREF c = kImage[y][x];
        auto widen = [](BYTE v) { return static_cast<BYTE>(((v >> 3) << 3) | ((v >> 3) >> 2)); };
        return RGB(widen(GetRValue(c)), widen(GetGValue(c)), widen(GetBValue(c)));
    }
    if (bits == 1 && paletteForOneBit) { // two colours: black and white
        return (y == 1 && x == 0) ? RGB(255, 255, 255) : RGB(0, 0, 0);
    }
    return kImage[y][x];
}

void ExpectPixels(HBITMAP bmp, int bits) {
    ASSERT_NE(bmp, nullptr) << bits << " bpp";
    BITMAP bm{};
    GetObjectA(bmp, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, 3);
    EXPECT_EQ(bm.bmHeight, 2);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(GetPixel(dc, x, y), Expected(bits, x, y, bits == 1))
                << bits << " bpp at " << x << "," << y;
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
}

DibBuilder Build(int bits, bool topDown) {
    const std::vector<COLORREF> palette = {RGB(255, 0, 0),     RGB(0, 255, 0), RGB(0, 0, 255),
                                           RGB(255, 255, 255), RGB(0, 0, 0),   RGB(128, 128, 128)};
    const int sixColours[2][3] = {{0, 1, 2}, {3, 4, 5}};
    const int twoColours[2][3] = {{0, 0, 0}, {1, 0, 0}};
    if (bits == 1) {
        DibBuilder b(bits, topDown);
        b.Palette({RGB(0, 0, 0), RGB(255, 255, 255)});
        b.Rows(twoColours);
        return b;
    }
    if (bits <= 8) {
        DibBuilder b(bits, topDown, static_cast<DWORD>(palette.size()));
        b.Palette(palette);
        b.Rows(sixColours);
        return b;
    }
    DibBuilder b(bits, topDown);
    b.Rows(sixColours);
    return b;
}

TEST(BitmapResource, DecodesEveryDepthInBothRowOrders) {
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        for (bool topDown : {false, true}) {
            const DibBuilder b = Build(bits, topDown);
            ExpectPixels(platform::gdi::CreateBitmapFromDib(b.bytes.data(), b.bytes.size()), bits);
        }
    }
}

TEST(BitmapResource, EveryTruncationIsRefused) {
    for (int bits : {1, 8, 24, 32}) {
        const DibBuilder b = Build(bits, false);
        for (std::size_t size = 0; size < b.bytes.size(); ++size) {
            SetLastError(0);
            EXPECT_EQ(platform::gdi::CreateBitmapFromDib(b.bytes.data(), size), nullptr)
                << bits << " bpp, " << size;
            EXPECT_NE(GetLastError(), 0u);
        }
    }
}

TEST(BitmapResource, RefusesHeadersThatDoNotAddUp) {
    struct Case {
        const char* name;
        void (*change)(BITMAPINFOHEADER&);
        DWORD error;
    };
    const Case cases[] = {
        {"RLE8", [](BITMAPINFOHEADER& h) { h.biCompression = BI_RLE8; }, ERROR_NOT_SUPPORTED},
        {"bitfields", [](BITMAPINFOHEADER& h) { h.biCompression = BI_BITFIELDS; },
         ERROR_NOT_SUPPORTED},
        {"2 bpp", [](BITMAPINFOHEADER& h) { h.biBitCount = 2; }, ERROR_NOT_SUPPORTED},
        {"two planes", [](BITMAPINFOHEADER& h) { h.biPlanes = 2; }, ERROR_INVALID_DATA},
        {"zero width", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }, ERROR_INVALID_DATA},
        {"negative width", [](BITMAPINFOHEADER& h) { h.biWidth = -3; }, ERROR_INVALID_DATA},
        {"zero height", [](BITMAPINFOHEADER& h) { h.biHeight = 0; }, ERROR_INVALID_DATA},
        {"too wide", [](BITMAPINFOHEADER& h) { h.biWidth = 16385; }, ERROR_NOT_ENOUGH_MEMORY},
        {"too tall", [](BITMAPINFOHEADER& h) { h.biHeight = -16385; }, ERROR_NOT_ENOUGH_MEMORY},
        {"lowest height", [](BITMAPINFOHEADER& h) { h.biHeight = INT32_MIN; }, ERROR_INVALID_DATA},
        {"palette beyond 256", [](BITMAPINFOHEADER& h) { h.biClrUsed = 257; }, ERROR_INVALID_DATA},
        {"header size", [](BITMAPINFOHEADER& h) { h.biSize = 39; }, ERROR_INVALID_DATA},
        {"width past the bytes", [](BITMAPINFOHEADER& h) { h.biWidth = 4000; }, ERROR_INVALID_DATA},
    };
    for (const Case& c : cases) {
        DibBuilder b = Build(8, false);
        BITMAPINFOHEADER h;
        std::memcpy(&h, b.bytes.data(), sizeof(h));
        c.change(h);
        std::memcpy(b.bytes.data(), &h, sizeof(h));
        platform::gdi::DibImage image;
        EXPECT_EQ(platform::gdi::DecodeDib(b.bytes.data(), b.bytes.size(),
                                           platform::gdi::DibKind::Bitmap, image),
                  c.error)
            << c.name;
    }
}

// A 1-bit bitmap of the given size: header, black-and-white palette and `rowsPresent` rows of
// zeros (all of them by default, fewer to keep a huge claim small in bytes).
std::vector<BYTE> OneBitDib(LONG width, LONG height, LONG rowsPresent) {
    const BITMAPINFOHEADER h{sizeof(BITMAPINFOHEADER), width, height, 1, 1, BI_RGB, 0, 0, 0, 2, 0};
    std::vector<BYTE> bytes(reinterpret_cast<const BYTE*>(&h),
                            reinterpret_cast<const BYTE*>(&h) + sizeof(h));
    const BYTE palette[8] = {0, 0, 0, 0, 255, 255, 255, 0};
    bytes.insert(bytes.end(), palette, palette + sizeof(palette));
    const std::size_t stride = ((static_cast<std::size_t>(width) + 31) / 32) * 4;
    bytes.resize(bytes.size() + stride * static_cast<std::size_t>(rowsPresent));
    return bytes;
}

// The size is judged from the header before the bytes are: a claim beyond 8192 on a side or
// 16 Mpixel in all is out of memory, one within the limits fails only for its missing rows.
TEST(BitmapResource, RefusesPicturesBeyondTheLimitsFromTheHeaderAlone) {
    struct Case {
        LONG width;
        LONG height;
        DWORD error;
    };
    const Case cases[] = {
        {16384, 16384, ERROR_NOT_ENOUGH_MEMORY}, {9000, 10, ERROR_NOT_ENOUGH_MEMORY},
        {10, -9000, ERROR_NOT_ENOUGH_MEMORY},    {8193, 1, ERROR_NOT_ENOUGH_MEMORY},
        {4097, 4096, ERROR_NOT_ENOUGH_MEMORY},   {8192, 2049, ERROR_NOT_ENOUGH_MEMORY},
        {8192, 2048, ERROR_INVALID_DATA},        {4096, 4096, ERROR_INVALID_DATA},
        {2048, -8192, ERROR_INVALID_DATA},
    };
    for (const Case& c : cases) {
        const std::vector<BYTE> bytes = OneBitDib(c.width, c.height, 1);
        platform::gdi::DibImage image;
        EXPECT_EQ(platform::gdi::DecodeDib(bytes.data(), bytes.size(),
                                           platform::gdi::DibKind::Bitmap, image),
                  c.error)
            << c.width << " x " << c.height;
        EXPECT_TRUE(image.pixels.empty()) << c.width << " x " << c.height;
        SetLastError(0);
        EXPECT_EQ(platform::gdi::CreateBitmapFromDib(bytes.data(), bytes.size()), nullptr);
        EXPECT_EQ(GetLastError(), c.error) << c.width << " x " << c.height;
    }
}

TEST(BitmapResource, DecodesAPictureExactlyAtTheLimits) {
    const std::vector<BYTE> bytes = OneBitDib(8192, 2048, 2048);
    HBITMAP bitmap = platform::gdi::CreateBitmapFromDib(bytes.data(), bytes.size());
    ASSERT_NE(bitmap, nullptr);
    BITMAP bm{};
    GetObjectA(bitmap, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, 8192);
    EXPECT_EQ(bm.bmHeight, 2048);
    DeleteObject(bitmap);
}

TEST(BitmapResource, CoreHeaderWithTriplePalette) {
    std::vector<BYTE> bytes;
    const BITMAPCOREHEADER h{sizeof(BITMAPCOREHEADER), 2, 1, 1, 1};
    bytes.insert(bytes.end(), reinterpret_cast<const BYTE*>(&h),
                 reinterpret_cast<const BYTE*>(&h) + sizeof(h));
    const BYTE palette[] = {0, 0, 255, 255, 0, 0}; // red, blue
    bytes.insert(bytes.end(), palette, palette + sizeof(palette));
    const BYTE row[] = {0x40, 0, 0, 0}; // pixel 0 index 0, pixel 1 index 1
    bytes.insert(bytes.end(), row, row + sizeof(row));
    platform::gdi::DibImage image;
    ASSERT_EQ(
        platform::gdi::DecodeDib(bytes.data(), bytes.size(), platform::gdi::DibKind::Bitmap, image),
        0u);
    EXPECT_EQ(image.pixels[0], 0x00FF0000u);
    EXPECT_EQ(image.pixels[1], 0x000000FFu);
}

TEST(IconImage, HalvesTheHeightAndReadsTheMask) {
    // A 2 x 2 icon at 32 bpp without alpha: the AND mask makes its top-right pixel transparent.
    std::vector<BYTE> bytes;
    const BITMAPINFOHEADER h{sizeof(BITMAPINFOHEADER), 2, 4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bytes.insert(bytes.end(), reinterpret_cast<const BYTE*>(&h),
                 reinterpret_cast<const BYTE*>(&h) + sizeof(h));
    const std::uint32_t colours[4] = {0x000000FF, 0x0000FF00, 0x00FF0000,
                                      0x00FFFFFF}; // bottom row first
    bytes.insert(bytes.end(), reinterpret_cast<const BYTE*>(colours),
                 reinterpret_cast<const BYTE*>(colours) + 16);
    const BYTE mask[8] = {0x00, 0, 0, 0,
                          0x40, 0, 0, 0}; // bottom row opaque; top row: x = 1 transparent
    bytes.insert(bytes.end(), mask, mask + 8);
    platform::gdi::DibImage image;
    ASSERT_EQ(
        platform::gdi::DecodeDib(bytes.data(), bytes.size(), platform::gdi::DibKind::Icon, image),
        0u);
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    const auto argb = platform::gdi::IconArgb(image);
    ASSERT_EQ(argb.size(), 4u);
    EXPECT_EQ(argb[0], 0xFFFF0000u);
    EXPECT_EQ(argb[1], 0x00FFFFFFu);
    EXPECT_EQ(argb[2], 0xFF0000FFu);
    EXPECT_EQ(argb[3], 0xFF00FF00u);
    EXPECT_NE(platform::gdi::DecodeDib(bytes.data(), bytes.size() - 1, platform::gdi::DibKind::Icon,
                                       image),
              0u);
}

} // namespace
