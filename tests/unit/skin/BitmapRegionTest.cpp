// Window shapes from mask bitmaps, and cutting rectangles out of pictures.
#include "BitmapRegion.h"
#include "SkinLibrary.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kDark = RGB(20, 30, 40);

// A bitmap of the given size whose pixel (x, y) has colour(x, y).
HBITMAP MakeBitmap(int width, int height, const std::function<COLORREF(int, int)>& colour) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ old = SelectObject(dc, bmp);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            SetPixel(dc, x, y, colour(x, y));
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return bmp;
}

HRGN WhiteKeyed(HBITMAP bmp) {
    return BuildRegionFromBitmap(bmp, RGB(255, 255, 255), 0);
}

std::vector<RECT> RectsOf(HRGN rgn) {
    std::vector<BYTE> buffer(GetRegionData(rgn, 0, nullptr));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    GetRegionData(rgn, static_cast<DWORD>(buffer.size()), data);
    const RECT* first = reinterpret_cast<const RECT*>(data->Buffer);
    return std::vector<RECT>(first, first + data->rdh.nCount);
}

// Every pixel of the bitmap is in the region exactly when its colour is not white.
void ExpectMembershipMatches(HRGN rgn, int width, int height,
                             const std::function<COLORREF(int, int)>& colour) {
    for (int y = -1; y <= height; ++y) {
        for (int x = -1; x <= width; ++x) {
            const bool inImage = x >= 0 && y >= 0 && x < width && y < height;
            const bool expected = inImage && colour(x, y) != kWhite;
            ASSERT_EQ(PtInRegion(rgn, x, y) != FALSE, expected) << x << "," << y;
        }
    }
}

TEST(BuildRegionFromBitmap, NoWhitePixelGivesTheWholeRectangle) {
    HBITMAP bmp = MakeBitmap(7, 5, [](int, int) { return kDark; });
    HRGN rgn = WhiteKeyed(bmp);
    ASSERT_NE(rgn, nullptr);
    HRGN whole = CreateRectRgn(0, 0, 7, 5);
    EXPECT_TRUE(EqualRgn(rgn, whole));
    DeleteObject(whole);
    DeleteObject(rgn);
    DeleteObject(bmp);
}

TEST(BuildRegionFromBitmap, RunsBetweenWhitePixels) {
    // White, dark, dark, white, dark: runs 1-3 and 4-5 (the last reaching the right edge).
    const COLORREF row[5] = {kWhite, kDark, kDark, kWhite, kDark};
    HBITMAP bmp = MakeBitmap(5, 1, [&](int x, int) { return row[x]; });
    HRGN rgn = WhiteKeyed(bmp);
    const auto rects = RectsOf(rgn);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].left, 1);
    EXPECT_EQ(rects[0].right, 3);
    EXPECT_EQ(rects[1].left, 4);
    EXPECT_EQ(rects[1].right, 5);
    EXPECT_EQ(rects[1].top, 0);
    EXPECT_EQ(rects[1].bottom, 1);
    DeleteObject(rgn);
    DeleteObject(bmp);
}

TEST(BuildRegionFromBitmap, OnlyPureWhiteIsOutside) {
    const COLORREF colours[] = {RGB(254, 255, 255), RGB(255, 254, 255), RGB(255, 255, 254), kWhite,
                                RGB(0, 0, 0)};
    HBITMAP bmp = MakeBitmap(5, 1, [&](int x, int) { return colours[x]; });
    HRGN rgn = WhiteKeyed(bmp);
    EXPECT_TRUE(PtInRegion(rgn, 0, 0));
    EXPECT_TRUE(PtInRegion(rgn, 1, 0));
    EXPECT_TRUE(PtInRegion(rgn, 2, 0));
    EXPECT_FALSE(PtInRegion(rgn, 3, 0));
    EXPECT_TRUE(PtInRegion(rgn, 4, 0));
    DeleteObject(rgn);
    DeleteObject(bmp);
}

TEST(BuildRegionFromBitmap, ToleranceWidensTheKeyPerChannel) {
    // Key (100, 150, 200) with tolerance (10, 0, 100): the blue range clamps at 255.
    const COLORREF colours[] = {RGB(110, 150, 255), RGB(111, 150, 200), RGB(100, 151, 200),
                                RGB(99, 150, 200), RGB(105, 150, 230)};
    HBITMAP bmp = MakeBitmap(5, 1, [&](int x, int) { return colours[x]; });
    HRGN rgn = BuildRegionFromBitmap(bmp, RGB(100, 150, 200), RGB(10, 0, 100));
    const bool inside[] = {false, true, true, true, false};
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(PtInRegion(rgn, x, 0) != FALSE, inside[x]) << x;
    }
    DeleteObject(rgn);
    DeleteObject(bmp);
}

TEST(BuildRegionFromBitmap, BatchesOfTwoThousandRunsLoseNothing) {
    // One-pixel runs at even x: 2,000 runs fill exactly one batch, 2,001 spill one run into a
    // second batch, and 7,140 runs over several rows take several.
    struct Case {
        int width;
        int height;
        std::size_t runs;
    };
    for (const Case& c : {Case{3999, 1, 2000}, Case{4001, 1, 2001}, Case{101, 140, 7140}}) {
        auto colour = [](int x, int) { return x % 2 == 0 ? kDark : kWhite; };
        HBITMAP bmp = MakeBitmap(c.width, c.height, colour);
        HRGN rgn = WhiteKeyed(bmp);
        ASSERT_NE(rgn, nullptr);
        const auto rects = RectsOf(rgn);
        EXPECT_EQ(rects.size(), c.runs / c.height) << c.width; // identical rows merge vertically
        EXPECT_TRUE(PtInRegion(rgn, c.width - 1, c.height - 1)) << "last run, at the right edge";
        ExpectMembershipMatches(rgn, c.width, c.height, colour);
        DeleteObject(rgn);
        DeleteObject(bmp);
    }
}

TEST(BuildRegionFromBitmap, AllWhiteGivesAnEmptyRegion) {
    HBITMAP bmp = MakeBitmap(6, 3, [](int, int) { return kWhite; });
    HRGN rgn = WhiteKeyed(bmp);
    ASSERT_NE(rgn, nullptr);
    RECT box{};
    EXPECT_EQ(GetRgnBox(rgn, &box), NULLREGION);
    DeleteObject(rgn);
    DeleteObject(bmp);
}

TEST(BuildRegionFromBitmap, NoBitmapNoRegion) {
    EXPECT_EQ(WhiteKeyed(nullptr), nullptr);
    HBRUSH brush = CreateSolidBrush(0);
    EXPECT_EQ(WhiteKeyed(reinterpret_cast<HBITMAP>(brush)), nullptr);
    DeleteObject(brush);
    // A source held by another DC cannot be read.
    HBITMAP bmp = MakeBitmap(2, 2, [](int, int) { return kDark; });
    HDC holder = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(holder, bmp);
    EXPECT_EQ(WhiteKeyed(bmp), nullptr);
    SelectObject(holder, old);
    DeleteDC(holder);
    EXPECT_TRUE(DeleteObject(bmp)); // nothing of the builder still holds it
}

TEST(BuildRegionFromBitmap, TheRealMaskGivesExactlyItsNonWhitePixels) {
    CBitmap mask;
    SIZE size{};
    LoadSkinBitmap("1021", &mask, &size);
    ASSERT_EQ(size.cx, 380);
    ASSERT_EQ(size.cy, 280);
    HRGN rgn = BuildRegionFromBitmap(mask, RGB(255, 255, 255), 0);
    ASSERT_NE(rgn, nullptr);
    RECT box{};
    EXPECT_EQ(GetRgnBox(rgn, &box), COMPLEXREGION);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask);
    long inside = 0;
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) {
            const bool opaque = GetPixel(dc, x, y) != kWhite;
            inside += opaque;
            ASSERT_EQ(PtInRegion(rgn, x, y) != FALSE, opaque) << x << "," << y;
        }
    }
    long area = 0;
    for (const RECT& r : RectsOf(rgn)) {
        area += static_cast<long>(r.right - r.left) * (r.bottom - r.top);
    }
    EXPECT_EQ(area, inside);
    EXPECT_LT(inside, 380L * 280L); // visibly not a rectangle
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(rgn);
}

TEST(CopyBitmapRect, CutsTheButtonRectangleOneToOne) {
    auto colour = [](int x, int y) { return RGB(x & 0xFF, y & 0xFF, (x + y) & 0xFF); };
    CBitmap source;
    source.Attach(MakeBitmap(320, 260, colour));
    CDC screen;
    screen.CreateCompatibleDC(nullptr);
    CBitmap target;
    target.CreateCompatibleBitmap(&screen, 5, 5);
    HGDIOBJ previous = target.GetSafeHandle();
    CopyBitmapRect(&screen, &target, &source, RECT{187, 231, 217, 248});
    EXPECT_EQ(GetObjectType(previous), 0u); // the target's old bitmap was deleted
    BITMAP bm{};
    ASSERT_TRUE(target.GetBitmap(&bm));
    EXPECT_EQ(bm.bmWidth, 30);
    EXPECT_EQ(bm.bmHeight, 17);
    CDC dc;
    dc.CreateCompatibleDC(&screen);
    CBitmap* old = dc.SelectObject(&target);
    for (int y = 0; y < 17; ++y) {
        for (int x = 0; x < 30; ++x) {
            ASSERT_EQ(GetPixel(dc, x, y), colour(187 + x, 231 + y)) << x << "," << y;
        }
    }
    dc.SelectObject(old);
}

TEST(CopyBitmapRect, AnEmptySourceLeavesTheTargetAlone) {
    CDC screen;
    screen.CreateCompatibleDC(nullptr);
    CBitmap target, empty;
    target.CreateCompatibleBitmap(&screen, 3, 3);
    HGDIOBJ kept = target.GetSafeHandle();
    CopyBitmapRect(&screen, &target, &empty, RECT{0, 0, 2, 2});
    EXPECT_EQ(target.GetSafeHandle(), kept);
    EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_BITMAP));
}

} // namespace
