// Fonts: dialog metrics, stock fonts, and one font measured on many threads.
#include "platform/gdi32.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

HFONT DialogFont(LONG height = -11, const char* face = "MS Sans Serif") {
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

// A white memory canvas with the dialog font selected and black text.
TEST(Font, MsSansSerifEightPointHasDialogMetrics) {
    HFONT font = DialogFont();
    ASSERT_NE(font, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_EQ(tm.tmHeight, 13);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_GE(tm.tmAveCharWidth, 5);
    EXPECT_LE(tm.tmAveCharWidth, 7);
    LOGFONTA log{};
    ASSERT_EQ(GetObjectA(font, sizeof(log), &log), static_cast<int>(sizeof(LOGFONTA)));
    EXPECT_EQ(log.lfHeight, -11);
    EXPECT_STREQ(log.lfFaceName, "MS Sans Serif");
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(font));
}

TEST(Font, CellHeightAndCharacterHeightAgree) {
    // A positive height asks for the cell, a negative one for the em: -11 has a 13-pixel cell.
    HFONT byCell = DialogFont(13);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, byCell);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    EXPECT_EQ(tm.tmHeight, 13);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(byCell);
}

TEST(Font, StockFontsExistAndDcsStartWithOne) {
    for (int stock : {SYSTEM_FONT, DEFAULT_GUI_FONT, ANSI_VAR_FONT}) {
        EXPECT_EQ(GetObjectType(GetStockObject(stock)), static_cast<DWORD>(OBJ_FONT)) << stock;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    TEXTMETRICA tm{};
    EXPECT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_GT(tm.tmHeight, 0);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
    DeleteDC(dc);
}

struct Measured {
    TEXTMETRICA tm{};
    SIZE extent{};
};

Measured MeasureWith(HFONT font) {
    Measured m;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    EXPECT_TRUE(GetTextMetricsA(dc, &m.tm));
    EXPECT_TRUE(GetTextExtentPoint32A(dc, "Nerith", 6, &m.extent));
    SelectObject(dc, old);
    DeleteDC(dc);
    return m;
}

// A font opens its face when first measured; threads that do so at once, while another makes
// the first stock font, must all see the same face.
TEST(Font, OneFontFirstMeasuredOnManyThreadsAtOnceMeasuresAlike) {
    HFONT font = DialogFont(-13, "Tahoma");
    ASSERT_NE(font, nullptr);
    std::vector<Measured> results(4);
    {
        std::vector<std::jthread> threads;
        threads.emplace_back([] { EXPECT_NE(GetStockObject(DEFAULT_GUI_FONT), nullptr); });
        for (Measured& result : results) {
            threads.emplace_back([&result, font] { result = MeasureWith(font); });
        }
    }
    const Measured alone = MeasureWith(font);
    EXPECT_GT(alone.extent.cx, 0);
    for (const Measured& m : results) {
        EXPECT_EQ(m.tm.tmHeight, alone.tm.tmHeight);
        EXPECT_EQ(m.tm.tmAveCharWidth, alone.tm.tmAveCharWidth);
        EXPECT_EQ(m.extent.cx, alone.extent.cx);
        EXPECT_EQ(m.extent.cy, alone.extent.cy);
    }
    DeleteObject(font);
}

} // namespace
