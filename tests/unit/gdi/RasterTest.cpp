// Exact-pixel checks of bitmaps, DCs and block copies on tiny bitmaps.
#include "platform/gdi32.h"
#include "platform/internal/surface.h"
#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A memory DC with its own 32-bit bitmap, filled so that pixel (x, y) is RGB(x, y, 7).
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;

    Canvas(int width, int height, bool pattern) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, width, height);
        previous = SelectObject(dc, bitmap);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                SetPixel(dc, x, y, pattern ? RGB(x, y, 7) : RGB(0, 0, 0));
            }
        }
    }
    ~Canvas() {
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
};

TEST(Bitmap, CompatibleBitmapStartsBlackAndReportsItsHeader) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 5, 3);
    ASSERT_NE(bmp, nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(bmp, sizeof(bm), &bm), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(bm.bmWidth, 5);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmWidthBytes, 20);
    EXPECT_EQ(bm.bmPlanes, 1);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmBits, nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    EXPECT_EQ(GetPixel(dc, 4, 2), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 5, 2), CLR_INVALID);
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(bmp));
}

TEST(Bitmap, OversizedOrNegativeRequestsAreRefused) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 16385, 1), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, -1, 4), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 4, 4), nullptr);
    DeleteDC(dc);
}

TEST(DibSection, PositiveHeightStoresTheTopRowLast) {
    BITMAPINFO bmi{};
    bmi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 3, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    ASSERT_NE(bits, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    SetPixel(dc, 0, 0, RGB(0x11, 0x22, 0x33)); // top-left
    SetPixel(dc, 2, 1, RGB(0x44, 0x55, 0x66)); // bottom-right
    const auto* words = static_cast<const std::uint32_t*>(bits);
    EXPECT_EQ(words[3], 0x00112233u); // second row in memory is the top row
    EXPECT_EQ(words[2], 0x00445566u); // first row in memory is the bottom row
    EXPECT_EQ(words[0], 0u);
    const auto* bytes = static_cast<const BYTE*>(bits);
    EXPECT_EQ(bytes[12], 0x33); // blue, green, red, reserved
    EXPECT_EQ(bytes[13], 0x22);
    EXPECT_EQ(bytes[14], 0x11);

    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(dib, sizeof(ds), &ds), static_cast<int>(sizeof(DIBSECTION)));
    EXPECT_EQ(ds.dsBm.bmBits, bits);
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 12);
    EXPECT_EQ(ds.dsBmih.biHeight, 2);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(dib, sizeof(bm), &bm), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(bm.bmBits, bits);
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(dib));
}

TEST(DibSection, NegativeHeightStoresRowsTopDown) {
    BITMAPINFO bmi{};
    bmi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    SetPixel(dc, 1, 0, RGB(9, 8, 7));
    EXPECT_EQ(static_cast<const std::uint32_t*>(bits)[1], 0x00090807u);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
}

TEST(DibSection, RefusesWhatItCannotHold) {
    struct Case {
        WORD bits;
        DWORD compression;
        LONG width;
        LONG height;
    };
    const Case cases[] = {{24, BI_RGB, 4, 4}, {32, BI_RLE8, 4, 4},    {32, BI_RGB, 0, 4},
                          {32, BI_RGB, 4, 0}, {32, BI_RGB, 16385, 1}, {32, BI_RGB, 1, -16385}};
    for (const Case& c : cases) {
        BITMAPINFO bmi{};
        bmi.bmiHeader = BITMAPINFOHEADER{
            sizeof(BITMAPINFOHEADER), c.width, c.height, 1, c.bits, c.compression, 0, 0, 0, 0, 0};
        void* bits = reinterpret_cast<void*>(1);
        EXPECT_EQ(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr)
            << c.bits << " bpp " << c.width << "x" << c.height;
        EXPECT_EQ(bits, nullptr);
    }
}

TEST(SelectObject, ReturnsThePreviousBitmapStartingWithTheStockOne) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP a = CreateCompatibleBitmap(dc, 2, 2);
    HBITMAP b = CreateCompatibleBitmap(dc, 3, 3);
    HGDIOBJ stock = SelectObject(dc, a);
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(GetObjectType(stock), static_cast<DWORD>(OBJ_BITMAP));
    BITMAP bm{};
    GetObjectA(stock, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    EXPECT_EQ(SelectObject(dc, b), a);
    EXPECT_EQ(SelectObject(dc, stock), b);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    DeleteDC(dc);
    DeleteObject(a);
    DeleteObject(b);
}

TEST(SelectObject, ABitmapLivesInOneDcAtATime) {
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(first);
    HBITMAP bmp = CreateCompatibleBitmap(first, 2, 2);
    HGDIOBJ old = SelectObject(first, bmp);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(SelectObject(second, bmp), nullptr);
    SelectObject(first, old);
    EXPECT_NE(SelectObject(second, bmp), nullptr);
    DeleteDC(first);
    DeleteDC(second);
    EXPECT_TRUE(DeleteObject(bmp));
}

TEST(DeleteObject, RefusesABitmapStillSelectedUntilItsDcLetsGo) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 2, 2);
    HGDIOBJ old = SelectObject(dc, bmp);
    EXPECT_FALSE(DeleteObject(bmp));
    EXPECT_EQ(GetObjectType(bmp), static_cast<DWORD>(OBJ_BITMAP));
    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(bmp));
    EXPECT_EQ(GetObjectType(bmp), 0u);
    EXPECT_FALSE(DeleteObject(bmp)); // a deleted handle stays dead
    EXPECT_EQ(SelectObject(dc, bmp), nullptr);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
}

TEST(DeleteObject, DeletingTheDcFreesItsBitmap) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 2, 2);
    SelectObject(dc, bmp);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(bmp));
}

TEST(DeleteObject, StockObjectsSurvive) {
    HGDIOBJ brush = GetStockObject(BLACK_BRUSH);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(GetStockObject(99), nullptr);
}

TEST(BitBlt, CopiesExactPixels) {
    Canvas src(4, 4, true);
    Canvas dst(4, 4, false);
    ASSERT_TRUE(BitBlt(dst.dc, 1, 1, 2, 2, src.dc, 2, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(dst.dc, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dst.dc, 1, 1), RGB(2, 0, 7));
    EXPECT_EQ(GetPixel(dst.dc, 2, 1), RGB(3, 0, 7));
    EXPECT_EQ(GetPixel(dst.dc, 1, 2), RGB(2, 1, 7));
    EXPECT_EQ(GetPixel(dst.dc, 2, 2), RGB(3, 1, 7));
    EXPECT_EQ(GetPixel(dst.dc, 3, 3), RGB(0, 0, 0));
}

TEST(BitBlt, ClipsToBothBitmaps) {
    struct Case {
        int x, y, cx, cy, sx, sy;
        int probeX, probeY; // destination pixel
        COLORREF expected;
    };
    const Case cases[] = {
        {-1, -1, 4, 4, 0, 0, 0, 0, RGB(1, 1, 7)}, // destination starts outside
        {-1, -1, 4, 4, 0, 0, 2, 2, RGB(3, 3, 7)},
        {0, 0, 4, 4, 2, 2, 1, 1, RGB(3, 3, 7)},  // source runs out at its right and bottom
        {0, 0, 4, 4, 2, 2, 2, 2, RGB(0, 0, 0)},  // nothing to copy there: left alone
        {0, 0, 4, 4, -2, 0, 1, 0, RGB(0, 0, 0)}, // source starts outside
        {0, 0, 4, 4, -2, 0, 2, 0, RGB(0, 0, 7)},
        {2, 2, 9, 9, 0, 0, 2, 2, RGB(0, 0, 7)}, // destination runs out
    };
    for (const Case& c : cases) {
        Canvas src(4, 4, true);
        Canvas dst(3, 3, false);
        EXPECT_TRUE(BitBlt(dst.dc, c.x, c.y, c.cx, c.cy, src.dc, c.sx, c.sy, SRCCOPY));
        EXPECT_EQ(GetPixel(dst.dc, c.probeX, c.probeY), c.expected)
            << "blit " << c.x << "," << c.y << " from " << c.sx << "," << c.sy << " probe "
            << c.probeX << "," << c.probeY;
    }
}

TEST(BitBlt, OverlappingCopyWithinOneBitmapReadsTheOriginalPixels) {
    Canvas canvas(4, 1, true);
    ASSERT_TRUE(BitBlt(canvas.dc, 1, 0, 3, 1, canvas.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(canvas.dc, 0, 0), RGB(0, 0, 7));
    EXPECT_EQ(GetPixel(canvas.dc, 1, 0), RGB(0, 0, 7));
    EXPECT_EQ(GetPixel(canvas.dc, 2, 0), RGB(1, 0, 7));
    EXPECT_EQ(GetPixel(canvas.dc, 3, 0), RGB(2, 0, 7));
}

TEST(BitBlt, BadArgumentsFailCleanly) {
    Canvas dst(2, 2, false);
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 2, 2, dst.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 2, 2, dst.dc, 0, 0, 0x00EE0086u /* SRCPAINT */));
    EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 1, 1, nullptr, 0, 0, WHITENESS));
    EXPECT_EQ(GetPixel(dst.dc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dst.dc, 1, 0), RGB(0, 0, 0));
}

TEST(StretchBlt, EqualSizesCopyOneToOne) {
    Canvas src(8, 8, true);
    Canvas dst(3, 2, false);
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 3, 2, src.dc, 5, 6, 3, 2, SRCCOPY));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(GetPixel(dst.dc, x, y), RGB(5 + x, 6 + y, 7));
        }
    }
}

TEST(StretchBlt, ScalesByNearestNeighbour) {
    Canvas src(2, 2, true);
    Canvas dst(4, 4, false);
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 4, 4, src.dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(GetPixel(dst.dc, 0, 0), RGB(0, 0, 7));
    EXPECT_EQ(GetPixel(dst.dc, 1, 1), RGB(0, 0, 7));
    EXPECT_EQ(GetPixel(dst.dc, 2, 1), RGB(1, 0, 7));
    EXPECT_EQ(GetPixel(dst.dc, 3, 3), RGB(1, 1, 7));
    Canvas small(1, 1, false);
    ASSERT_TRUE(StretchBlt(small.dc, 0, 0, 1, 1, dst.dc, 0, 0, 4, 4, SRCCOPY));
    EXPECT_EQ(GetPixel(small.dc, 0, 0), RGB(1, 1, 7));
}

TEST(SurfaceDc, DrawsAtItsOriginAndStaysInsideItsClip) {
    auto surface = std::make_shared<platform::gdi::Surface>(6, 4, 0x00FFFFFFu);
    HDC dc = platform::gdi::CreateSurfaceDC(surface, POINT{1, 1}, RECT{1, 1, 4, 3});
    ASSERT_NE(dc, nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all{-5, -5, 50, 50};
    EXPECT_TRUE(FillRect(dc, &all, red));
    EXPECT_EQ(surface->At(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(surface->At(1, 1), 0x00FF0000u);
    EXPECT_EQ(surface->At(3, 2), 0x00FF0000u);
    EXPECT_EQ(surface->At(4, 2), 0x00FFFFFFu);
    EXPECT_EQ(surface->At(3, 3), 0x00FFFFFFu);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0)); // logical (0, 0) is surface (1, 1)
    EXPECT_EQ(GetPixel(dc, 3, 0), CLR_INVALID);    // outside the clip
    EXPECT_EQ(SelectObject(dc, CreateCompatibleBitmap(dc, 1, 1)), nullptr); // not a memory DC
    Canvas src(4, 4, true);
    EXPECT_TRUE(BitBlt(dc, 0, 0, 4, 4, src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(surface->At(1, 1), 0x00000007u);
    EXPECT_EQ(surface->At(3, 2), 0x00020107u);
    EXPECT_EQ(surface->At(4, 1), 0x00FFFFFFu);
    DeleteObject(red);
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(SurfaceDc, FollowsASurfaceThatShrinks) {
    auto surface = std::make_shared<platform::gdi::Surface>(4, 4);
    HDC dc = platform::gdi::CreateSurfaceDC(surface, POINT{0, 0}, RECT{0, 0, 4, 4});
    *surface = platform::gdi::Surface(2, 2);
    RECT all{0, 0, 4, 4};
    EXPECT_TRUE(FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))));
    EXPECT_EQ(surface->At(1, 1), 0x00FFFFFFu);
    EXPECT_EQ(GetPixel(dc, 3, 3), CLR_INVALID);
    DeleteDC(dc);
}

TEST(Drawing, RectanglesLinesAndFrames) {
    Canvas c(5, 5, false);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT r{1, 1, 4, 4};
    FrameRect(c.dc, &r, blue);
    EXPECT_EQ(GetPixel(c.dc, 1, 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(c.dc, 3, 3), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(c.dc, 2, 2), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(c.dc, 4, 4), RGB(0, 0, 0));

    HPEN green = CreatePen(PS_SOLID, 1, RGB(0, 255, 0));
    HGDIOBJ oldPen = SelectObject(c.dc, green);
    MoveToEx(c.dc, 0, 4, nullptr);
    LineTo(c.dc, 4, 0);
    EXPECT_EQ(GetPixel(c.dc, 0, 4), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(c.dc, 2, 2), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(c.dc, 4, 0), RGB(0, 0, 0)); // the end point is not drawn

    HGDIOBJ oldBrush = SelectObject(c.dc, blue);
    EXPECT_EQ(oldBrush, GetStockObject(WHITE_BRUSH));
    Rectangle(c.dc, 0, 0, 3, 3);
    EXPECT_EQ(GetPixel(c.dc, 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(c.dc, 1, 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(c.dc, 3, 0), RGB(0, 0, 0));
    SelectObject(c.dc, oldPen);
    SelectObject(c.dc, oldBrush);
    EXPECT_TRUE(DeleteObject(green));
    EXPECT_TRUE(DeleteObject(blue));
}

TEST(DeviceCaps, ReportsA32BitScreenAt96Dpi) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(dc, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    DeleteDC(dc);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 0);
}

} // namespace
