// Regions: creation from rectangle data, the banded form, set operations and queries.
#include "platform/internal/region.h"
#include "platform/gdi32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

std::vector<BYTE> RegionData(const std::vector<RECT>& rects, DWORD dwSize = sizeof(RGNDATAHEADER),
                             DWORD iType = RDH_RECTANGLES) {
    std::vector<BYTE> bytes(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    RGNDATAHEADER header{dwSize, iType, static_cast<DWORD>(rects.size()), 0, RECT{}};
    std::memcpy(bytes.data(), &header, sizeof(header));
    if (!rects.empty()) {
        std::memcpy(bytes.data() + sizeof(header), rects.data(), rects.size() * sizeof(RECT));
    }
    return bytes;
}

HRGN FromRects(const std::vector<RECT>& rects) {
    const auto bytes = RegionData(rects);
    return ExtCreateRegion(nullptr, static_cast<DWORD>(bytes.size()),
                           reinterpret_cast<const RGNDATA*>(bytes.data()));
}

std::vector<RECT> RectsOf(HRGN rgn) {
    std::vector<RECT> rects;
    EXPECT_TRUE(platform::gdi::GetRegionRects(rgn, rects));
    return rects;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Checks the banded invariant written at the top of the region code.
void ExpectBanded(const std::vector<RECT>& rects) {
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const RECT& r = rects[i];
        ASSERT_LT(r.left, r.right);
        ASSERT_LT(r.top, r.bottom);
        if (i == 0) {
            continue;
        }
        const RECT& p = rects[i - 1];
        if (p.top == r.top) {
            ASSERT_EQ(p.bottom, r.bottom);
            ASSERT_LT(p.right, r.left) << "spans in a band must not touch";
        } else {
            ASSERT_LE(p.bottom, r.top);
        }
    }
    // Touching bands must differ.
    std::size_t bandStart = 0;
    std::size_t previousStart = 0, previousEnd = 0;
    while (bandStart < rects.size()) {
        std::size_t bandEnd = bandStart;
        while (bandEnd < rects.size() && rects[bandEnd].top == rects[bandStart].top) {
            ++bandEnd;
        }
        if (previousEnd > previousStart && rects[previousStart].bottom == rects[bandStart].top &&
            previousEnd - previousStart == bandEnd - bandStart) {
            bool same = true;
            for (std::size_t k = 0; k < bandEnd - bandStart; ++k) {
                same = same && rects[previousStart + k].left == rects[bandStart + k].left &&
                       rects[previousStart + k].right == rects[bandStart + k].right;
            }
            ASSERT_FALSE(same) << "touching identical bands were not coalesced";
        }
        previousStart = bandStart;
        previousEnd = bandEnd;
        bandStart = bandEnd;
    }
}

TEST(ExtCreateRegion, ValidatesTheHeaderAgainstTheBytesGiven) {
    const std::vector<RECT> two = {{0, 0, 2, 2}, {4, 0, 6, 2}};
    struct Case {
        const char* name;
        DWORD dwSize;
        DWORD iType;
        int sizeDelta; // bytes added to (or taken from) the true size
        bool valid;
    };
    const Case cases[] = {
        {"exact", sizeof(RGNDATAHEADER), RDH_RECTANGLES, 0, true},
        {"extra bytes", sizeof(RGNDATAHEADER), RDH_RECTANGLES, 16, true},
        {"one byte short", sizeof(RGNDATAHEADER), RDH_RECTANGLES, -1, false},
        {"header only", sizeof(RGNDATAHEADER), RDH_RECTANGLES, -32, false},
        {"short header", sizeof(RGNDATAHEADER), RDH_RECTANGLES, -33, false},
        {"wrong dwSize", 40, RDH_RECTANGLES, 0, false},
        {"wrong type", sizeof(RGNDATAHEADER), 2, 0, false},
    };
    for (const Case& c : cases) {
        auto bytes = RegionData(two, c.dwSize, c.iType);
        bytes.resize(bytes.size() + 16);
        const DWORD size = static_cast<DWORD>(static_cast<int>(bytes.size()) - 16 + c.sizeDelta);
        HRGN rgn = ExtCreateRegion(nullptr, size, reinterpret_cast<const RGNDATA*>(bytes.data()));
        EXPECT_EQ(rgn != nullptr, c.valid) << c.name;
        if (rgn) {
            DeleteObject(rgn);
        }
    }
    EXPECT_EQ(ExtCreateRegion(nullptr, 100, nullptr), nullptr);
    auto huge = RegionData(two);
    reinterpret_cast<RGNDATAHEADER*>(huge.data())->nCount =
        0x20000000u; // count * 16 wraps in 32 bits
    EXPECT_EQ(ExtCreateRegion(nullptr, static_cast<DWORD>(huge.size()),
                              reinterpret_cast<const RGNDATA*>(huge.data())),
              nullptr);
}

TEST(ExtCreateRegion, NormalisesAnyRectanglesIntoBands) {
    HRGN rgn = FromRects({{0, 0, 4, 2}, {2, 1, 6, 3}, {10, 10, 10, 12}, {7, 0, 8, 1}});
    ASSERT_NE(rgn, nullptr);
    const auto rects = RectsOf(rgn);
    ExpectBanded(rects);
    const std::vector<RECT> expected = {{0, 0, 4, 1}, {7, 0, 8, 1}, {0, 1, 6, 2}, {2, 2, 6, 3}};
    ASSERT_EQ(rects.size(), expected.size());
    for (std::size_t i = 0; i < rects.size(); ++i) {
        EXPECT_TRUE(SameRect(rects[i], expected[i])) << i;
    }
    DeleteObject(rgn);
}

TEST(ExtCreateRegion, CoalescesIdenticalRowsIntoOneRectangle) {
    std::vector<RECT> rows;
    rows.reserve(50);
    for (int y = 0; y < 50; ++y) {
        rows.push_back(RECT{3, y, 9, y + 1});
    }
    HRGN rgn = FromRects(rows);
    const auto rects = RectsOf(rgn);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_TRUE(SameRect(rects[0], RECT{3, 0, 9, 50}));
    RECT box{};
    EXPECT_EQ(GetRgnBox(rgn, &box), SIMPLEREGION);
    EXPECT_TRUE(SameRect(box, RECT{3, 0, 9, 50}));
    DeleteObject(rgn);
}

TEST(ExtCreateRegion, EmptyDataGivesAnEmptyRegion) {
    HRGN rgn = FromRects({});
    ASSERT_NE(rgn, nullptr);
    RECT box{1, 1, 1, 1};
    EXPECT_EQ(GetRgnBox(rgn, &box), NULLREGION);
    EXPECT_TRUE(SameRect(box, RECT{0, 0, 0, 0}));
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    DeleteObject(rgn);
}

TEST(PtInRegion, EdgesAreHalfOpen) {
    HRGN rgn = CreateRectRgn(2, 3, 5, 7);
    const struct {
        int x, y;
        bool inside;
    } probes[] = {{2, 3, true},  {4, 6, true},  {5, 6, false},
                  {4, 7, false}, {1, 3, false}, {2, 2, false}};
    for (const auto& p : probes) {
        EXPECT_EQ(PtInRegion(rgn, p.x, p.y) != FALSE, p.inside) << p.x << "," << p.y;
    }
    DeleteObject(rgn);
}

// Every mode of CombineRgn against a brute-force evaluation on a pixel grid, for random
// inputs; the result must also keep the banded invariant.
TEST(CombineRgn, MatchesPixelSetsForRandomRegions) {
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> coordinate(0, 15);
    const int modes[] = {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF};
    for (int round = 0; round < 200; ++round) {
        std::vector<RECT> ra, rb;
        for (int i = 0; i < 4; ++i) {
            ra.push_back(RECT{coordinate(random), coordinate(random), coordinate(random),
                              coordinate(random)});
            rb.push_back(RECT{coordinate(random), coordinate(random), coordinate(random),
                              coordinate(random)});
        }
        HRGN a = FromRects(ra);
        HRGN b = FromRects(rb);
        HRGN dst = CreateRectRgn(0, 0, 0, 0);
        for (int mode : modes) {
            const int kind = CombineRgn(dst, a, b, mode);
            ASSERT_NE(kind, ERROR);
            const auto rects = RectsOf(dst);
            ExpectBanded(rects);
            EXPECT_EQ(kind, rects.empty()       ? NULLREGION
                            : rects.size() == 1 ? SIMPLEREGION
                                                : COMPLEXREGION);
            for (int y = -1; y <= 16; ++y) {
                for (int x = -1; x <= 16; ++x) {
                    const bool inA = PtInRegion(a, x, y), inB = PtInRegion(b, x, y);
                    const bool want = mode == RGN_AND   ? inA && inB
                                      : mode == RGN_OR  ? inA || inB
                                      : mode == RGN_XOR ? inA != inB
                                                        : inA && !inB;
                    ASSERT_EQ(PtInRegion(dst, x, y) != FALSE, want)
                        << "mode " << mode << " at " << x << "," << y;
                }
            }
        }
        DeleteObject(a);
        DeleteObject(b);
        DeleteObject(dst);
    }
}

TEST(CombineRgn, DestinationMayBeASourceAndCopyDuplicates) {
    HRGN a = CreateRectRgn(0, 0, 2, 2);
    HRGN b = CreateRectRgn(2, 0, 4, 2);
    EXPECT_EQ(CombineRgn(a, a, b, RGN_OR), SIMPLEREGION);
    RECT box{};
    GetRgnBox(a, &box);
    EXPECT_TRUE(SameRect(box, RECT{0, 0, 4, 2}));
    HRGN c = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(c, b, nullptr, RGN_COPY), SIMPLEREGION);
    EXPECT_TRUE(EqualRgn(c, b));
    EXPECT_EQ(CombineRgn(c, a, nullptr, RGN_OR), ERROR);
    EXPECT_EQ(CombineRgn(c, a, b, 9), ERROR);
    EXPECT_EQ(CombineRgn(nullptr, a, b, RGN_OR), ERROR);
    DeleteObject(a);
    DeleteObject(b);
    DeleteObject(c);
}

TEST(OffsetRgn, MovesEveryRectangle) {
    HRGN rgn = FromRects({{0, 0, 2, 1}, {4, 0, 5, 1}});
    EXPECT_EQ(OffsetRgn(rgn, 10, -3), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(rgn, 10, -3));
    EXPECT_TRUE(PtInRegion(rgn, 14, -3));
    EXPECT_FALSE(PtInRegion(rgn, 12, -3));
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    DeleteObject(rgn);
}

TEST(GetRegionData, RoundTripsThroughExtCreateRegion) {
    HRGN rgn = FromRects({{0, 0, 2, 1}, {4, 0, 5, 1}, {1, 1, 3, 4}});
    const DWORD size = GetRegionData(rgn, 0, nullptr);
    EXPECT_EQ(size, sizeof(RGNDATAHEADER) + 3 * sizeof(RECT));
    std::vector<BYTE> buffer(size);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    EXPECT_EQ(GetRegionData(rgn, size - 1, data), 0u);
    EXPECT_EQ(GetRegionData(rgn, size, data), size);
    EXPECT_EQ(data->rdh.nCount, 3u);
    EXPECT_EQ(data->rdh.iType, static_cast<DWORD>(RDH_RECTANGLES));
    EXPECT_TRUE(SameRect(data->rdh.rcBound, RECT{0, 0, 5, 4}));
    HRGN copy = ExtCreateRegion(nullptr, size, data);
    EXPECT_TRUE(EqualRgn(rgn, copy));
    DeleteObject(rgn);
    DeleteObject(copy);
}

TEST(Region, HandlesOfOtherKindsAreRefused) {
    HBRUSH brush = CreateSolidBrush(0);
    EXPECT_FALSE(PtInRegion(reinterpret_cast<HRGN>(brush), 0, 0));
    RECT box{};
    EXPECT_EQ(GetRgnBox(reinterpret_cast<HRGN>(brush), &box), ERROR);
    std::vector<RECT> rects;
    EXPECT_FALSE(platform::gdi::GetRegionRects(reinterpret_cast<HRGN>(brush), rects));
    DeleteObject(brush);
}

} // namespace
