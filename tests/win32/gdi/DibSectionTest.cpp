#include "platform/gdi32.h"
#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr int kSide = 8;

// A 32-bpp DIB section selected into its own memory DC, released in reverse order.
class Section {
public:
    explicit Section(int height) {
        BITMAPINFO bmi{};
        bmi.bmiHeader =
            BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), kSide, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        if (bitmap && dc) {
            old = SelectObject(dc, bitmap);
        }
    }
    ~Section() {
        if (old) {
            SelectObject(dc, old);
        }
        if (dc) {
            DeleteDC(dc);
        }
        if (bitmap) {
            DeleteObject(bitmap);
        }
    }
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;

    bool Ok() const { return bitmap && dc && bits && old; }
    // The pixel word at memory row `row`, whatever the orientation.
    std::uint32_t& Word(int row, int x) {
        return static_cast<std::uint32_t*>(bits)[row * kSide + x];
    }

    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
    HGDIOBJ old = nullptr;
    void* bits = nullptr;
};

// Every pixel a colour of its own: red counts columns, green rows.
std::uint32_t Pattern(int x, int y) {
    return static_cast<std::uint32_t>(((x * 16 + 1) << 16) | ((y * 16 + 1) << 8) | 0x40);
}

COLORREF AsColorRef(std::uint32_t word) {
    return RGB((word >> 16) & 0xFF, (word >> 8) & 0xFF, word & 0xFF);
}

// Fills the section through its bits so that the pixel seen at (x, y) is Pattern(x, y).
void Paint(Section& s, bool topDown) {
    for (int y = 0; y < kSide; ++y) {
        const int row = topDown ? y : kSide - 1 - y;
        for (int x = 0; x < kSide; ++x) {
            s.Word(row, x) = Pattern(x, y);
        }
    }
}

TEST(DibSection, BitsWrittenDirectlyAreSeenByGetPixelInEitherOrientation) {
    for (bool topDown : {true, false}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        Section s(topDown ? -kSide : kSide);
        ASSERT_TRUE(s.Ok());
        Paint(s, topDown);
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                ASSERT_EQ(GetPixel(s.dc, x, y), AsColorRef(Pattern(x, y))) << x << "," << y;
            }
        }
        EXPECT_EQ(GetPixel(s.dc, kSide, 0), CLR_INVALID);
        EXPECT_EQ(GetPixel(s.dc, 0, -1), CLR_INVALID);
    }
}

TEST(DibSection, SetPixelLandsInTheRowOfItsOrientation) {
    for (bool topDown : {true, false}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        Section s(topDown ? -kSide : kSide);
        ASSERT_TRUE(s.Ok());
        SetPixel(s.dc, 2, 1, RGB(0x11, 0x22, 0x33));
        GdiFlush();
        const int row = topDown ? 1 : kSide - 2;
        EXPECT_EQ(s.Word(row, 2) & 0x00FFFFFFu, 0x00112233u);
        EXPECT_EQ(s.Word(topDown ? kSide - 2 : 1, 2), 0u);
    }
}

TEST(DibSection, GetObjectDescribesTheSection) {
    for (int height : {-kSide, kSide}) {
        SCOPED_TRACE(height);
        Section s(height);
        ASSERT_TRUE(s.Ok());
        DIBSECTION ds{};
        ASSERT_EQ(GetObjectA(s.bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds));
        EXPECT_EQ(ds.dsBm.bmType, 0);
        EXPECT_EQ(ds.dsBm.bmWidth, kSide);
        EXPECT_EQ(ds.dsBm.bmHeight, kSide);
        EXPECT_EQ(ds.dsBm.bmWidthBytes, kSide * 4);
        EXPECT_EQ(ds.dsBm.bmPlanes, 1);
        EXPECT_EQ(ds.dsBm.bmBitsPixel, 32);
        EXPECT_EQ(ds.dsBm.bmBits, s.bits);
        EXPECT_EQ(ds.dsBmih.biSize, sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(ds.dsBmih.biWidth, kSide);
        // The orientation does not show: the height is reported without its sign.
        EXPECT_EQ(ds.dsBmih.biHeight, kSide);
        EXPECT_EQ(ds.dsBmih.biBitCount, 32);
        EXPECT_EQ(ds.dsBmih.biCompression, static_cast<DWORD>(BI_RGB));
        EXPECT_EQ(ds.dshSection, nullptr);

        BITMAP bm{};
        ASSERT_EQ(GetObjectA(s.bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
        EXPECT_EQ(bm.bmHeight, kSide);
        EXPECT_EQ(bm.bmBits, s.bits);
        EXPECT_EQ(GetObjectType(s.bitmap), static_cast<DWORD>(OBJ_BITMAP));
    }
}

TEST(DibSection, BitBltCopiesBetweenOrientations) {
    for (bool sourceTopDown : {true, false}) {
        SCOPED_TRACE(sourceTopDown ? "from top-down" : "from bottom-up");
        Section source(sourceTopDown ? -kSide : kSide);
        Section target(sourceTopDown ? kSide : -kSide);
        ASSERT_TRUE(source.Ok() && target.Ok());
        Paint(source, sourceTopDown);
        ASSERT_TRUE(BitBlt(target.dc, 0, 0, kSide, kSide, source.dc, 0, 0, SRCCOPY));
        GdiFlush();
        for (int y = 0; y < kSide; ++y) {
            const int row = sourceTopDown ? kSide - 1 - y : y;
            for (int x = 0; x < kSide; ++x) {
                ASSERT_EQ(target.Word(row, x) & 0x00FFFFFFu, Pattern(x, y)) << x << "," << y;
            }
        }
    }
}

struct ClipCase {
    const char* name;
    int x, y, width, height, sourceX, sourceY;
};

// Each blit lands where its rectangle meets the target; nothing outside it changes.
TEST(DibSection, BitBltClipsAtTheEdges) {
    const ClipCase cases[] = {
        {"whole", 0, 0, kSide, kSide, 0, 0},         {"past the top left", -3, -2, 5, 5, 0, 0},
        {"past the bottom right", 5, 6, 6, 6, 1, 1}, {"inside, offset source", 2, 3, 3, 2, 4, 5},
        {"wholly outside", kSide, 0, 4, 4, 0, 0},
    };
    for (const ClipCase& c : cases) {
        SCOPED_TRACE(c.name);
        Section source(-kSide);
        Section target(-kSide);
        ASSERT_TRUE(source.Ok() && target.Ok());
        Paint(source, true);
        ASSERT_TRUE(BitBlt(target.dc, c.x, c.y, c.width, c.height, source.dc, c.sourceX, c.sourceY,
                           SRCCOPY));
        GdiFlush();
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                const bool inside = x >= c.x && x < c.x + c.width && y >= c.y && y < c.y + c.height;
                const std::uint32_t expected =
                    inside ? Pattern(x - c.x + c.sourceX, y - c.y + c.sourceY) : 0u;
                ASSERT_EQ(target.Word(y, x) & 0x00FFFFFFu, expected) << x << "," << y;
            }
        }
    }
}

} // namespace
