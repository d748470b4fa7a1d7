// The display's pixel image as the tests' helpers read it: rows top-down, indexed as x + y * width.
#include "Image.h"

#include <gtest/gtest.h>

#include <optional>

using nerith::testing::Image;

namespace {

// Every pixel tells where it is, so a wrong index or a transposed crop shows in the value.
Image Numbered(int width, int height) {
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.Set(x, y, static_cast<std::uint32_t>(y * 0x100 + x));
        }
    }
    return image;
}

TEST(Image, RowsAreTopDownAndFilledOnCreation) {
    const Image filled(3, 2, 0x00ABCDEF);
    EXPECT_EQ(filled.pixels.size(), 6u);
    EXPECT_EQ(nerith::testing::CountPixels(filled, 0x00ABCDEF), 6);
    const Image numbered = Numbered(4, 3);
    EXPECT_EQ(numbered.pixels[1 * 4 + 2], 0x102u) << "(2, 1) lies in the second row";
    EXPECT_TRUE(Image().Empty());
    EXPECT_TRUE(Image(0, 5).Empty());
    EXPECT_FALSE(numbered.Empty());
}

struct CropCase {
    const char* name;
    RECT rect;
    int width;
    int height;
    std::uint32_t topLeft;
    std::uint32_t bottomRight;
};

TEST(Image, CropKeepsOnlyWhatLiesInsideTheImage) {
    const Image source = Numbered(5, 4);
    const CropCase cases[] = {
        {"inside", {1, 2, 4, 4}, 3, 2, 0x201, 0x303},
        {"over the right and bottom edges", {3, 2, 9, 9}, 2, 2, 0x203, 0x304},
        {"over the left and top edges", {-2, -1, 2, 1}, 2, 1, 0x000, 0x001},
        {"outside", {6, 0, 8, 2}, 0, 0, 0, 0},
    };
    for (const CropCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Image part = nerith::testing::Crop(source, c.rect);
        EXPECT_EQ(part.width, c.width);
        EXPECT_EQ(part.height, c.height);
        if (!part.Empty()) {
            EXPECT_EQ(part.At(0, 0), c.topLeft);
            EXPECT_EQ(part.At(part.width - 1, part.height - 1), c.bottomRight);
        }
    }
}

TEST(Image, TheFirstDifferenceIsFoundRowByRow) {
    const Image a = Numbered(4, 3);
    Image b = a;
    EXPECT_EQ(nerith::testing::FirstDifference(a, b), std::nullopt);
    EXPECT_EQ(nerith::testing::DescribeDifference(a, b), "equal");
    b.Set(3, 0, 0xFFFFFF);
    b.Set(0, 2, 0xFFFFFF);
    const std::optional<POINT> at = nerith::testing::FirstDifference(a, b);
    ASSERT_TRUE(at.has_value());
    EXPECT_EQ(at->x, 3);
    EXPECT_EQ(at->y, 0);
    EXPECT_EQ(nerith::testing::DescribeDifference(a, b), "(3, 0): 0x000003 vs 0xFFFFFF");
    EXPECT_TRUE(nerith::testing::FirstDifference(a, Numbered(4, 2)).has_value()) << "sizes differ";
}

} // namespace
