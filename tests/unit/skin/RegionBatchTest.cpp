// The region builder hands the region machinery at most 2,000 rectangles at a time and merges
// the batches into its result. The calls are seen through the linker (--wrap) as they leave
// the skin library, so a builder that passes everything in one call fails here even though its
// region is the same.
#include "BitmapRegion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct Batch {
    DWORD count = 0;
    RECT bound{};
    bool wellFormed = false; // header as the region data layout wants, size big enough
    HRGN result = nullptr;
};

struct Merge {
    HRGN dest = nullptr;
    HRGN src1 = nullptr;
    HRGN src2 = nullptr;
    int mode = 0;
};

bool g_recording = false;
std::vector<Batch> g_batches;
std::vector<Merge> g_merges;

} // namespace

extern "C" {
HRGN __real__Z15ExtCreateRegionPK5XFORMjPK7RGNDATA(const XFORM* lpx, DWORD nCount,
                                                   const RGNDATA* lpData);
int __real__Z10CombineRgnP6HRGN__S0_S0_i(HRGN dest, HRGN src1, HRGN src2, int mode);

HRGN __wrap__Z15ExtCreateRegionPK5XFORMjPK7RGNDATA(const XFORM* lpx, DWORD nCount,
                                                   const RGNDATA* lpData) {
    const HRGN hRgn = __real__Z15ExtCreateRegionPK5XFORMjPK7RGNDATA(lpx, nCount, lpData);
    if (g_recording && lpData) {
        const RGNDATAHEADER& h = lpData->rdh;
        const bool wellFormed = lpx == nullptr && h.dwSize == sizeof(RGNDATAHEADER) &&
                                h.iType == RDH_RECTANGLES && h.nRgnSize == 0 &&
                                nCount >= sizeof(RGNDATAHEADER) + h.nCount * sizeof(RECT);
        g_batches.push_back({h.nCount, h.rcBound, wellFormed, hRgn});
    }
    return hRgn;
}

int __wrap__Z10CombineRgnP6HRGN__S0_S0_i(HRGN dest, HRGN src1, HRGN src2, int mode) {
    if (g_recording) {
        g_merges.push_back({dest, src1, src2, mode});
    }
    return __real__Z10CombineRgnP6HRGN__S0_S0_i(dest, src1, src2, mode);
}
}

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kDark = RGB(20, 30, 40);
const RECT kEmptyBound{0x7FFFFFFF, 0x7FFFFFFF, 0, 0};

// One-pixel dark runs at every even x of every row, white between them.
HBITMAP StripedBitmap(int width, int height) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ old = SelectObject(dc, bmp);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            SetPixel(dc, x, y, x % 2 == 0 ? kDark : kWhite);
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return bmp;
}

bool SameRect(const RECT& a, const RECT& b) {
    return std::memcmp(&a, &b, sizeof(RECT)) == 0;
}

TEST(RegionBatches, AtMostTwoThousandRectanglesPerCallMergedIntoOneRegion) {
    struct Case {
        int width;
        int height;
        std::vector<DWORD> counts;
        std::vector<RECT> bounds;
    };
    // Runs per row = (width + 1) / 2; the last flush comes after the last row, even empty.
    const Case cases[] = {
        {3997, 1, {1999}, {{0, 0, 3997, 1}}},
        {3999, 1, {2000, 0}, {{0, 0, 3999, 1}, kEmptyBound}},
        {4001, 1, {2000, 1}, {{0, 0, 3999, 1}, {4000, 0, 4001, 1}}},
        {101,
         140,
         {2000, 2000, 2000, 1140},
         {{0, 0, 101, 40}, {0, 39, 101, 79}, {0, 78, 101, 118}, {0, 117, 101, 140}}},
    };
    for (const Case& c : cases) {
        HBITMAP bmp = StripedBitmap(c.width, c.height);
        g_batches.clear();
        g_merges.clear();
        g_recording = true;
        HRGN rgn = BuildRegionFromBitmap(bmp, kWhite, 0);
        g_recording = false;
        ASSERT_NE(rgn, nullptr) << c.width << "x" << c.height;

        ASSERT_EQ(g_batches.size(), c.counts.size()) << c.width << "x" << c.height;
        for (std::size_t i = 0; i < g_batches.size(); ++i) {
            EXPECT_EQ(g_batches[i].count, c.counts[i]) << c.width << "x" << c.height << " #" << i;
            EXPECT_TRUE(SameRect(g_batches[i].bound, c.bounds[i]))
                << c.width << "x" << c.height << " #" << i;
            EXPECT_TRUE(g_batches[i].wellFormed) << c.width << "x" << c.height << " #" << i;
        }
        // The first batch is the result; every later one is OR-ed into it.
        EXPECT_EQ(g_batches.front().result, rgn);
        ASSERT_EQ(g_merges.size(), g_batches.size() - 1) << c.width << "x" << c.height;
        for (std::size_t i = 0; i < g_merges.size(); ++i) {
            const Merge& m = g_merges[i];
            EXPECT_TRUE(m.dest == rgn && m.src1 == rgn && m.src2 == g_batches[i + 1].result &&
                        m.mode == RGN_OR)
                << c.width << "x" << c.height << " merge #" << i;
        }
        const int lastRow = c.height - 1;
        EXPECT_TRUE(PtInRegion(rgn, c.width - 1, lastRow)) << "the last run survives the merge";
        EXPECT_FALSE(PtInRegion(rgn, 1, lastRow)) << "white stays outside";
        EXPECT_TRUE(PtInRegion(rgn, 0, 0)) << "the first run survives the merge";
        DeleteObject(rgn);
        DeleteObject(bmp);
    }
}

} // namespace
