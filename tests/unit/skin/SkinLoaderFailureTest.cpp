// The skin loaders when pictures cannot be had: built twice, beside a test skin library with
// broken pictures (SKIN_FIXTURE_LIBRARY) and beside no skin library at all. Every load still
// gives a picture, silently: a placeholder that names its screen and shows its buttons.
#include "SkinLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A bitmap's pixels, read back through a memory DC.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> colours;

    COLORREF At(int x, int y) const { return colours[static_cast<std::size_t>(y) * width + x]; }
};

Pixels ReadPixels(HBITMAP hBitmap) {
    Pixels pixels;
    BITMAP bm{};
    if (!GetObjectA(hBitmap, sizeof(bm), &bm)) {
        return pixels;
    }
    pixels.width = bm.bmWidth;
    pixels.height = bm.bmHeight;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, hBitmap);
    for (int y = 0; y < bm.bmHeight; ++y) {
        for (int x = 0; x < bm.bmWidth; ++x) {
            pixels.colours.push_back(GetPixel(dc, x, y));
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixels;
}

struct Loaded {
    SIZE size{-1, -1};
    std::string debug;
    Pixels pixels;
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
    result.pixels = ReadPixels(static_cast<HBITMAP>(bitmap.GetSafeHandle()));
    return result;
}

void ExpectPlaceholder(const Loaded& loaded, const char* id, LONG width, LONG height) {
    EXPECT_EQ(loaded.size.cx, width) << id;
    EXPECT_EQ(loaded.size.cy, height) << id;
    EXPECT_EQ(loaded.pixels.width, width) << id;
    EXPECT_EQ(loaded.pixels.height, height) << id;
    EXPECT_EQ(
        std::count(loaded.pixels.colours.begin(), loaded.pixels.colours.end(), RGB(255, 255, 255)),
        0)
        << "a placeholder mask must keep the whole window: " << id;
    EXPECT_TRUE(loaded.debug.empty()) << "the loaders report nothing: " << loaded.debug;
}

// The part of `pixels` inside `rect` that differs from `background`, cropped to its bounding
// box: the ink of whatever was drawn there.
Pixels Ink(const Pixels& pixels, RECT rect, COLORREF background) {
    RECT box{rect.right, rect.bottom, rect.left, rect.top};
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            if (pixels.At(x, y) != background) {
                box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                           std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
            }
        }
    }
    Pixels ink;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            ink.colours.push_back(pixels.At(x, y));
        }
    }
    ink.width = std::max<int>(0, box.right - box.left);
    ink.height = std::max<int>(0, box.bottom - box.top);
    return ink;
}

// The words as the platform draws them in the heading's stock font, on the background.
Pixels Rendered(const char* text, COLORREF colour, COLORREF background) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    RECT rect{0, 0, 0, 0};
    DrawTextA(dc, text, -1, &rect, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    rect.right += 2;
    rect.bottom += 2;
    HBITMAP bitmap = CreateCompatibleBitmap(dc, rect.right, rect.bottom);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(background);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextA(dc, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    const Pixels pixels = ReadPixels(bitmap);
    DeleteObject(bitmap);
    return Ink(pixels, RECT{0, 0, pixels.width, pixels.height}, background);
}

enum class Look { Normal, Hover, Pressed };

struct Face {
    const char* id;
    const char* heading;
    std::vector<RECT> buttons;
    Look look;
};

const std::vector<RECT> kMainButtons = {{187, 231, 217, 248}, {257, 231, 301, 248}};
const std::vector<RECT> kPromptButtons = {{216, 228, 234, 243}, {259, 228, 304, 243}};
const std::vector<RECT> kNoticeButton = {{224, 229, 249, 244}};

// Every picture of every screen, 1016 aside (the broken library holds a good one).
const Face kFaces[] = {
    {"1015", "Ready to update", kMainButtons, Look::Normal},
    {"1018", "Ready to update", kMainButtons, Look::Hover},
    {"1026", "Install older firmware?", kPromptButtons, Look::Normal},
    {"1027", "Install older firmware?", kPromptButtons, Look::Hover},
    {"1025", "Install older firmware?", kPromptButtons, Look::Pressed},
    {"1005", "Update complete", kNoticeButton, Look::Normal},
    {"1006", "Update complete", kNoticeButton, Look::Hover},
    {"1004", "Update complete", kNoticeButton, Look::Pressed},
    {"1008", "Update failed", kNoticeButton, Look::Normal},
    {"1009", "Update failed", kNoticeButton, Look::Hover},
    {"1007", "Update failed", kNoticeButton, Look::Pressed},
    {"1030", "Already up to date", kNoticeButton, Look::Normal},
    {"1029", "Already up to date", kNoticeButton, Look::Hover},
    {"1028", "Already up to date", kNoticeButton, Look::Pressed},
};

COLORREF Brightest(const Pixels& pixels) {
    return *std::max_element(pixels.colours.begin(), pixels.colours.end(),
                             [](COLORREF a, COLORREF b) {
                                 return GetRValue(a) + GetGValue(a) + GetBValue(a) <
                                        GetRValue(b) + GetGValue(b) + GetBValue(b);
                             });
}

// The heading in the words of its screen, and each button framed where its layout line puts it,
// its face showing the picture's state.
void ExpectFace(const Face& face) {
    SCOPED_TRACE(face.id);
    const Loaded loaded = Load(face.id, true);
    ExpectPlaceholder(loaded, face.id, 380, 280);
    const Pixels& pixels = loaded.pixels;
    const COLORREF background = pixels.At(0, 0);
    const COLORREF text = Brightest(pixels);
    ASSERT_NE(text, background);
    const Pixels expected = Rendered(face.heading, text, background);
    ASSERT_GT(expected.width, 0) << "the platform draws no text";
    const Pixels heading = Ink(pixels, RECT{0, 0, pixels.width, 200}, background);
    EXPECT_EQ(heading.width, expected.width);
    EXPECT_EQ(heading.height, expected.height);
    EXPECT_TRUE(heading.colours == expected.colours)
        << "the heading is not \"" << face.heading << "\"";
    for (const RECT& button : face.buttons) {
        EXPECT_EQ(pixels.At(button.left, button.top), text);
        EXPECT_EQ(pixels.At(button.right - 1, button.bottom - 1), text);
        EXPECT_NE(pixels.At(button.left - 1, button.top), text);
        const COLORREF inside = pixels.At(button.left + 1, button.top + 1);
        EXPECT_EQ(inside == background, face.look == Look::Normal);
        EXPECT_EQ(inside == text, face.look == Look::Pressed);
        const Pixels caption =
            Ink(pixels, RECT{button.left + 1, button.top + 1, button.right - 1, button.bottom - 1},
                inside);
        EXPECT_GT(caption.width, 0) << "the button's caption";
    }
}

TEST(SkinPlaceholders, CarryTheirScreensHeadingAndButtons) {
    for (const Face& face : kFaces) {
        ExpectFace(face);
    }
}

TEST(SkinPlaceholders, EveryScreenHasAColourOfItsOwn) {
    std::vector<COLORREF> colours;
    for (const char* id : {"1015", "1026", "1005", "1008", "1030"}) {
        colours.push_back(Load(id, true).pixels.At(0, 0));
    }
    std::sort(colours.begin(), colours.end());
    EXPECT_EQ(std::unique(colours.begin(), colours.end()), colours.end());
}

#ifdef SKIN_FIXTURE_LIBRARY

TEST(SkinLoadersWithBrokenPictures, AGoodPictureReportsItsOwnSize) {
    const Loaded loaded = Load("1016", true);
    EXPECT_EQ(loaded.size.cx, 320);
    EXPECT_EQ(loaded.size.cy, 240);
    EXPECT_EQ(loaded.pixels.width, 320);
    EXPECT_EQ(loaded.pixels.height, 240);
    EXPECT_TRUE(loaded.debug.empty()) << loaded.debug;
}

// The fixture's mask is 200 x 150, too small for any screen's buttons: the placeholders keep
// the size the buttons need.
TEST(SkinLoadersWithBrokenPictures, UndecodableOrMissingPicturesTakeAtLeastTheButtonsSize) {
    ExpectPlaceholder(Load("1015", true), "1015", 380, 280);  // truncated JPEG
    ExpectPlaceholder(Load("1017", true), "1017", 380, 280);  // not a picture
    ExpectPlaceholder(Load("1018", true), "1018", 380, 280);  // no such id
    ExpectPlaceholder(Load("1016", false), "1016", 380, 280); // no such bitmap
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
    LoadSkinJpeg("1015", &bitmap, &size);
    HGDIOBJ first = bitmap.GetSafeHandle();
    LoadSkinJpeg("1016", &bitmap, &size);
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_NE(bitmap.GetSafeHandle(), nullptr);
}

#endif

} // namespace
