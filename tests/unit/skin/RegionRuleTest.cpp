// When a mask's region may shape a window: only when at least half of the window and every
// button stay inside it.
#include "BitmapRegion.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;
constexpr std::uint32_t kDark = 0x00283440;
constexpr SIZE kWindow{380, 280};
// The main window's buttons in window coordinates: their layout rectangles one border inside.
constexpr RECT kButtons[] = {{188, 232, 218, 249}, {258, 232, 302, 249}};

struct MaskCase {
    const char* name;
    int width;
    int height;
    std::function<bool(int, int)> inside; // pixel (x, y) is dark, else white
    BOOL usable;
};

void PrintTo(const MaskCase& c, std::ostream* os) {
    *os << c.name;
}

HBITMAP MakeMask(const MaskCase& c) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(c.width) * c.height);
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            pixels[static_cast<std::size_t>(y) * c.width + x] = c.inside(x, y) ? kDark : kWhite;
        }
    }
    return CreateBitmap(c.width, c.height, 1, 32, pixels.data());
}

class RegionRuleTest : public ::testing::TestWithParam<MaskCase> {};

TEST_P(RegionRuleTest, JudgesTheMasksRegion) {
    const MaskCase& c = GetParam();
    HBITMAP mask = MakeMask(c);
    ASSERT_NE(mask, nullptr);
    HRGN region = BuildRegionFromBitmap(mask, RGB(255, 255, 255), 0);
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(RegionKeepsWindowUsable(region, kWindow, kButtons, 2), c.usable);
    RECT box{};
    EXPECT_NE(GetRgnBox(region, &box), ERROR) << "the judged region is left to its owner";
    DeleteObject(region);
    DeleteObject(mask);
}

const auto kAll = [](int, int) { return true; };

INSTANTIATE_TEST_SUITE_P(
    Masks, RegionRuleTest,
    ::testing::Values(
        MaskCase{"FullMask", 380, 280, kAll, TRUE},
        MaskCase{"WhiteMargin", 380, 280,
                 [](int x, int y) { return x >= 8 && y >= 8 && x < 372 && y < 272; }, TRUE},
        MaskCase{"LargerThanTheWindow", 760, 560, kAll, TRUE},
        MaskCase{"ExactlyTheBottomHalf", 380, 280, [](int, int y) { return y >= 140; }, TRUE},
        MaskCase{"OneRowShortOfHalf", 380, 280, [](int, int y) { return y >= 141; }, FALSE},
        MaskCase{"AllWhite", 380, 280, [](int, int) { return false; }, FALSE},
        MaskCase{"HalfThePicturesSize", 190, 140, kAll, FALSE},
        MaskCase{"TinyMask", 1, 1, kAll, FALSE},
        MaskCase{"CutsThroughAButton", 380, 280, [](int x, int) { return x != 200; }, FALSE},
        MaskCase{"TakesAButtonsLastRow", 380, 280,
                 [](int x, int y) { return !(y == 248 && x >= 258 && x < 302); }, FALSE},
        MaskCase{"TopHalfWithoutTheButtons", 380, 280, [](int, int y) { return y < 140; }, FALSE}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegionRule, NoRegionAndNoWindowAreNeverUsable) {
    EXPECT_FALSE(RegionKeepsWindowUsable(nullptr, kWindow, kButtons, 2));
    HRGN whole = CreateRectRgn(0, 0, 380, 280);
    EXPECT_TRUE(RegionKeepsWindowUsable(whole, kWindow, nullptr, 0));
    EXPECT_FALSE(RegionKeepsWindowUsable(whole, SIZE{0, 0}, nullptr, 0));
    DeleteObject(whole);
}

} // namespace
