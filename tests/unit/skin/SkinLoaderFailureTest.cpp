// The skin loaders when pictures cannot be had: built twice, beside a test skin library with
// broken pictures (SKIN_FIXTURE_LIBRARY) and beside no skin library at all.
#include "skin/SkinLibrary.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Loaded {
    SIZE size{-1, -1};
    BITMAP bm{};
    std::string debug;
    COLORREF centre = CLR_INVALID;
};

Loaded Load(const char* id, bool jpeg) {
    Loaded result;
    CBitmap bitmap;
    testing::internal::CaptureStderr();
    if (jpeg) {
        LoadSkinJpeg(id, &bitmap, &result.size);
    } else {
        LoadSkinBitmap(id, &bitmap, &result.size);
    }
    result.debug = testing::internal::GetCapturedStderr();
    if (bitmap.GetBitmap(&result.bm)) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        result.centre = GetPixel(dc, result.bm.bmWidth / 2, result.bm.bmHeight / 2);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    return result;
}

void ExpectPlaceholder(const Loaded& loaded, const char* id, LONG width, LONG height) {
    EXPECT_EQ(loaded.size.cx, width) << id;
    EXPECT_EQ(loaded.size.cy, height) << id;
    EXPECT_EQ(loaded.bm.bmWidth, width) << id;
    EXPECT_EQ(loaded.bm.bmHeight, height) << id;
    EXPECT_NE(loaded.centre, RGB(255, 255, 255))
        << "a placeholder mask must keep the window: " << id;
    EXPECT_NE(loaded.debug.find(std::string("\"") + id + "\""), std::string::npos) << loaded.debug;
    EXPECT_EQ(loaded.debug.find('\n'), loaded.debug.size() - 1)
        << "exactly one line: " << loaded.debug;
}

#ifdef SKIN_FIXTURE_LIBRARY

TEST(SkinLoadersWithBrokenPictures, AGoodPictureReportsItsOwnSize) {
    const Loaded loaded = Load("1016", true);
    EXPECT_EQ(loaded.size.cx, 320);
    EXPECT_EQ(loaded.size.cy, 240);
    EXPECT_EQ(loaded.bm.bmWidth, 320);
    EXPECT_EQ(loaded.bm.bmHeight, 240);
    EXPECT_TRUE(loaded.debug.empty()) << loaded.debug;
}

TEST(SkinLoadersWithBrokenPictures, UndecodableOrMissingPicturesTakeTheMasksSize) {
    ExpectPlaceholder(Load("1015", true), "1015", 200, 150);  // truncated JPEG
    ExpectPlaceholder(Load("1017", true), "1017", 200, 150);  // not a picture
    ExpectPlaceholder(Load("1018", true), "1018", 200, 150);  // no such id
    ExpectPlaceholder(Load("1016", false), "1016", 200, 150); // no such bitmap
    const Loaded mask = Load("1021", false);
    EXPECT_EQ(mask.size.cx, 200);
    EXPECT_TRUE(mask.debug.empty());
}

#else

TEST(SkinLoadersWithoutLibrary, EveryLoadGivesA380By280Placeholder) {
    ExpectPlaceholder(Load("1021", false), "1021", 380, 280);
    ExpectPlaceholder(Load("1015", true), "1015", 380, 280);
    ExpectPlaceholder(Load("1030", true), "1030", 380, 280);
}

TEST(SkinLoadersWithoutLibrary, ASecondLoadStillFreesTheFirstBitmap) {
    CBitmap bitmap;
    SIZE size{};
    testing::internal::CaptureStderr();
    LoadSkinJpeg("1015", &bitmap, &size);
    HGDIOBJ first = bitmap.GetSafeHandle();
    LoadSkinJpeg("1016", &bitmap, &size);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_NE(bitmap.GetSafeHandle(), nullptr);
}

#endif

} // namespace
