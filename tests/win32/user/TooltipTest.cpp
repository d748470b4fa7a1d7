// The tooltip control takes a tool described by any version of TOOLINFOA.
#include "Win32Test.h"
#include "platform/commctrl.h"

using namespace win32test;

namespace {

class TooltipTest : public WindowTest {};

TEST_F(TooltipTest, AddToolTakesEachVersionOfTheStructure) {
    const HWND owner = CreateLogWindow(WS_POPUP, 0, 0, 50, 50);
    const HWND tip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, 0, 0, 0, 0, owner,
                                     nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner && tip);
    char text[] = "tip";
    for (const std::size_t size : {TTTOOLINFOA_V1_SIZE, TTTOOLINFOA_V2_SIZE, TTTOOLINFOA_V3_SIZE}) {
        TOOLINFOA ti{};
        ti.cbSize = static_cast<UINT>(size);
        ti.uFlags = TTF_IDISHWND;
        ti.hwnd = owner;
        ti.uId = reinterpret_cast<UINT_PTR>(owner);
        ti.lpszText = text;
        EXPECT_TRUE(SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti))) << size;
        EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1) << size;
        SendMessageA(tip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
        EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 0) << size;
    }
    EXPECT_EQ(TTTOOLINFOA_V3_SIZE, sizeof(TOOLINFOA));
    DestroyWindow(tip);
    DestroyWindow(owner);
}

} // namespace
