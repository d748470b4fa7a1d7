// Text as our substitute draws it: UTF-8 strings, anti-aliased glyphs on canvases compatible with
// a bare memory DC (colour here, monochrome on Windows) and refused null arguments.
#include "platform/gdi32.h"

#include <gtest/gtest.h>

#include <string>

namespace {

HFONT DialogFont(LONG height = -11, const char* face = "MS Sans Serif") {
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

// A white memory canvas with the dialog font selected and black text.
struct TextCanvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ oldBitmap;
    HFONT font;
    HGDIOBJ oldFont;
    int width, height;

    TextCanvas(int w, int h) : width(w), height(h) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, w, h);
        oldBitmap = SelectObject(dc, bitmap);
        RECT all{0, 0, w, h};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        font = DialogFont();
        oldFont = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
    }
    ~TextCanvas() {
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteDC(dc);
        DeleteObject(bitmap);
        DeleteObject(font);
    }
    // Bounding box of the pixels that are no longer white; empty when untouched.
    RECT Ink() const {
        RECT box{width, height, 0, 0};
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (GetPixel(dc, x, y) != RGB(255, 255, 255)) {
                    box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                               std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
                }
            }
        }
        return box;
    }
    int Extent(const char* text) const {
        SIZE size{};
        GetTextExtentPoint32A(dc, text, static_cast<int>(std::string(text).size()), &size);
        return size.cx;
    }
};

TEST(TextExtent, AddsUpAndTracksGlyphWidths) {
    TextCanvas c(10, 10);
    EXPECT_EQ(c.Extent("ab"), c.Extent("a") + c.Extent("b"));
    EXPECT_LT(c.Extent("iiii"), c.Extent("WWWW"));
    EXPECT_EQ(c.Extent(""), 0);
    // "é" is two bytes of UTF-8 but one character, as wide as "e"; a byte that is not UTF-8
    // stands for its Latin-1 character.
    EXPECT_EQ(c.Extent("\xC3\xA9"), c.Extent("e"));
    EXPECT_EQ(c.Extent("\xE9"), c.Extent("e"));
    SIZE size{};
    EXPECT_FALSE(GetTextExtentPoint32A(c.dc, "x", 1, nullptr));
    EXPECT_FALSE(GetTextExtentPoint32A(nullptr, "x", 1, &size));
}

TEST(TextOut, InksOnlyInsideTheTextCell) {
    TextCanvas c(80, 30);
    ASSERT_TRUE(TextOutA(c.dc, 10, 5, "Hello", 5));
    const RECT ink = c.Ink();
    EXPECT_GE(ink.left, 10);
    EXPECT_GE(ink.top, 5);
    EXPECT_LE(ink.right, 10 + c.Extent("Hello") + 1);
    EXPECT_LE(ink.bottom, 5 + 13);
    EXPECT_GT(ink.right - ink.left, 10);
    // Anti-aliased: some pixels are neither white nor the text colour.
    bool grey = false;
    for (int y = ink.top; y < ink.bottom; ++y) {
        for (int x = ink.left; x < ink.right; ++x) {
            const COLORREF p = GetPixel(c.dc, x, y);
            grey = grey || (p != RGB(255, 255, 255) && p != RGB(0, 0, 0));
        }
    }
    EXPECT_TRUE(grey);
}

TEST(TextOut, OpaqueModeFillsTheCellWithTheBackgroundColour) {
    TextCanvas c(60, 20);
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, RGB(0, 0, 255));
    SetTextColor(c.dc, RGB(255, 255, 0));
    TextOutA(c.dc, 0, 0, "..", 2);
    EXPECT_EQ(GetPixel(c.dc, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(c.dc, 0, 12), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(c.dc, 0, 13), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(c.dc, c.Extent(".."), 0), RGB(255, 255, 255));
}

TEST(DrawText, CalcRectMeasuresWithoutDrawing) {
    TextCanvas c(200, 60);
    RECT r{5, 5, 100, 50};
    const int height = DrawTextA(c.dc, "Cancel", -1, &r, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(height, 13);
    EXPECT_EQ(r.right - r.left, c.Extent("Cancel"));
    EXPECT_EQ(r.bottom - r.top, 13);
    EXPECT_EQ(c.Ink().right, 0);
}

TEST(DrawText, WordBreakWrapsAtSpaces) {
    TextCanvas c(200, 60);
    const int oneLine = c.Extent("firmware update");
    RECT r{0, 0, c.Extent("firmware") + 2, 100};
    EXPECT_EQ(DrawTextA(c.dc, "firmware update", -1, &r, DT_WORDBREAK | DT_CALCRECT), 26);
    EXPECT_LT(r.right, oneLine);
    RECT wide{0, 0, 200, 100};
    EXPECT_EQ(DrawTextA(c.dc, "firmware update", -1, &wide, DT_WORDBREAK | DT_CALCRECT), 13);
    RECT lines{0, 0, 200, 100};
    EXPECT_EQ(DrawTextA(c.dc, "one\r\ntwo\nthree", -1, &lines, DT_CALCRECT), 39);
}

TEST(DrawText, CentresAndAlignsInsideTheRectangle) {
    struct Case {
        UINT format;
        int expectedLeft; // -1: centred
    };
    for (const Case& k : {Case{DT_LEFT, 20}, Case{DT_CENTER, -1}, Case{DT_RIGHT, -2}}) {
        TextCanvas c(200, 40);
        RECT r{20, 0, 180, 40};
        DrawTextA(c.dc, "OK", 2, &r, k.format | DT_SINGLELINE | DT_VCENTER);
        const RECT ink = c.Ink();
        const int mid = (ink.left + ink.right) / 2;
        if (k.expectedLeft == -1) {
            EXPECT_NEAR(mid, 100, 2);
        } else if (k.expectedLeft == -2) {
            EXPECT_NEAR(ink.right, 180, 2);
        } else {
            EXPECT_NEAR(ink.left, 20, 2);
        }
        EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 20, 3);
    }
}

TEST(DrawText, AmpersandUnderlinesTheNextLetterUnlessNoPrefix) {
    TextCanvas c(100, 30);
    RECT r{0, 0, 100, 30};
    RECT calc = r;
    DrawTextA(c.dc, "&OK", -1, &calc, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(calc.right, c.Extent("OK"));
    RECT raw = r;
    DrawTextA(c.dc, "&OK", -1, &raw, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(raw.right, c.Extent("&OK"));
    RECT amp = r;
    DrawTextA(c.dc, "a&&b", -1, &amp, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(amp.right, c.Extent("a&b"));

    DrawTextA(c.dc, "&OK", -1, &r, DT_SINGLELINE);
    TEXTMETRICA tm{};
    GetTextMetricsA(c.dc, &tm);
    const int underline = tm.tmAscent + 1;
    const int oWidth = c.Extent("O");
    int inkUnderO = 0, inkUnderK = 0;
    for (int x = 0; x < oWidth; ++x) {
        inkUnderO += GetPixel(c.dc, x, underline) == RGB(0, 0, 0);
    }
    for (int x = oWidth + 1; x < c.Extent("OK"); ++x) {
        inkUnderK += GetPixel(c.dc, x, underline) == RGB(0, 0, 0);
    }
    EXPECT_EQ(inkUnderO, oWidth);
    EXPECT_EQ(inkUnderK, 0);
}

TEST(DrawText, ClipsToTheRectangle) {
    TextCanvas c(100, 30);
    RECT r{0, 0, 12, 30};
    DrawTextA(c.dc, "WWWWWWWW", -1, &r, DT_SINGLELINE);
    EXPECT_LE(c.Ink().right, 12);
    RECT bad{0, 0, 10, 10};
    EXPECT_EQ(DrawTextA(c.dc, nullptr, 4, &bad, 0), 0);
    EXPECT_EQ(DrawTextA(c.dc, "x", 1, nullptr, 0), 0);
}

} // namespace
