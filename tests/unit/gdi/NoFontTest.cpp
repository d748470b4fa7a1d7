// Text on a machine without fonts: clear failures, never a crash. Runs with FONTCONFIG_FILE
// pointing at a configuration that lists no font folders.
#include "platform/gdi32.h"
#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(NoFont, FontsCannotBeCreatedAndTextCallsFailCleanly) {
    ASSERT_NE(std::getenv("FONTCONFIG_FILE"), nullptr)
        << "this test needs its font-less configuration";
    SetLastError(0);
    EXPECT_EQ(
        CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Sans Serif"),
        nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_FOUND));
    EXPECT_EQ(GetStockObject(SYSTEM_FONT), nullptr);

    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr); // drawing without text still works
    HBITMAP bmp = CreateCompatibleBitmap(dc, 20, 20);
    HGDIOBJ old = SelectObject(dc, bmp);
    EXPECT_FALSE(TextOutA(dc, 0, 0, "OK", 2));
    SIZE size{7, 7};
    EXPECT_FALSE(GetTextExtentPoint32A(dc, "OK", 2, &size));
    TEXTMETRICA tm{};
    EXPECT_FALSE(GetTextMetricsA(dc, &tm));
    RECT r{0, 0, 20, 20};
    EXPECT_EQ(DrawTextA(dc, "OK", -1, &r, DT_SINGLELINE), 0);
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(0, 0, 0));
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
}

} // namespace
