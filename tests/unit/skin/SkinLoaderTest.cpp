// The skin loaders against the built skin library beside the test executable.
#include "SkinLibrary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<COLORREF> Pixels(CBitmap& bitmap) {
    BITMAP bm{};
    bitmap.GetBitmap(&bm);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < bm.bmHeight; y += 7) {
        for (int x = 0; x < bm.bmWidth; x += 5) {
            pixels.push_back(GetPixel(dc, x, y));
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixels;
}

TEST(LoadSkinJpeg, ReportsThePictureSize) {
    CBitmap bitmap;
    SIZE size{-1, -1};
    LoadSkinJpeg("1015", &bitmap, &size);
    EXPECT_EQ(size.cx, 380);
    EXPECT_EQ(size.cy, 280);
    BITMAP bm{};
    ASSERT_TRUE(bitmap.GetBitmap(&bm));
    EXPECT_EQ(bm.bmWidth, size.cx);
    EXPECT_EQ(bm.bmHeight, size.cy);
}

TEST(LoadSkinJpeg, IdTextIsReadLikeAtoiAndKeepsTheLow16Bits) {
    CBitmap reference;
    SIZE size{};
    LoadSkinJpeg("1015", &reference, &size);
    const auto expected = Pixels(reference);
    CBitmap other;
    LoadSkinJpeg("1016", &other, &size);
    ASSERT_NE(Pixels(other), expected); // the pictures differ, so the comparison means something
    for (const char* text :
         {"1015x", " 1015", "+1015", "66551" /* 65536 + 1015 */, "132087" /* 2 * 65536 + 1015 */}) {
        CBitmap bitmap;
        testing::internal::CaptureStderr();
        LoadSkinJpeg(text, &bitmap, &size);
        const std::string debug = testing::internal::GetCapturedStderr();
        EXPECT_EQ(Pixels(bitmap), expected) << text;
        EXPECT_TRUE(debug.empty()) << text << ": " << debug;
    }
}

TEST(LoadSkinJpeg, ASecondLoadFreesTheFirstBitmap) {
    CBitmap bitmap;
    SIZE size{};
    LoadSkinJpeg("1015", &bitmap, &size);
    HGDIOBJ first = bitmap.GetSafeHandle();
    ASSERT_NE(first, nullptr);
    LoadSkinJpeg("1018", &bitmap, &size);
    EXPECT_NE(bitmap.GetSafeHandle(), first);
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(size.cx, 380);
}

TEST(LoadSkinBitmap, LoadsTheMask) {
    CBitmap mask;
    SIZE size{};
    LoadSkinBitmap("1021", &mask, &size);
    EXPECT_EQ(size.cx, 380);
    EXPECT_EQ(size.cy, 280);
    ASSERT_NE(mask.GetSafeHandle(), nullptr);
}

TEST(SkinLoaders, AMissingPictureGivesAPlaceholderOfTheMasksSizeSilently) {
    struct Case {
        const char* id;
        bool jpeg;
    };
    for (const Case& c :
         {Case{"999", true}, Case{"1021", true} /* a bitmap, not a JPEG */, Case{"abc", true},
          Case{"1015", false} /* a JPEG, not a bitmap */, Case{"4242", false}}) {
        CBitmap bitmap;
        SIZE size{-1, -1};
        testing::internal::CaptureStderr();
        if (c.jpeg) {
            LoadSkinJpeg(c.id, &bitmap, &size);
        } else {
            LoadSkinBitmap(c.id, &bitmap, &size);
        }
        const std::string debug = testing::internal::GetCapturedStderr();
        EXPECT_EQ(size.cx, 380) << c.id;
        EXPECT_EQ(size.cy, 280) << c.id;
        BITMAP bm{};
        ASSERT_TRUE(bitmap.GetBitmap(&bm)) << c.id;
        EXPECT_EQ(bm.bmWidth, 380);
        EXPECT_TRUE(debug.empty()) << "the loaders report nothing: " << debug;
    }
}

} // namespace
