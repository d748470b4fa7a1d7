// The faces that stand in for the Windows ones do not follow the desktop user's font rules.
// Runs with XDG_CONFIG_HOME pointing at rules that refuse every font.
#include "platform/gdi32.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(DesktopRules, TheDialogFaceIsFoundAndMeasuredAsWithoutThem) {
    ASSERT_NE(std::getenv("XDG_CONFIG_HOME"), nullptr) << "this test needs its desktop rules";
    HFONT font =
        CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
    ASSERT_NE(font, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm{};
    EXPECT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_EQ(tm.tmHeight, 13); // what dialogs are laid out for
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
}

} // namespace
