// The progress bar's blocks in exact pixels, as the updater shows them.
#include "TestSupport.h"
#include "platform/commctrl.h"

using namespace usertest;

namespace {

class ProgressTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        parent = CreateLogWindow(WS_POPUP | WS_VISIBLE, 100, 100, 400, 100);
        // 332 x 44 with the edge its dialog gives it, as the updater places its bar: 328 x 40
        // inside the margin.
        bar = CreateWindowExA(WS_EX_CLIENTEDGE, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 24, 20,
                              332, 44, parent, reinterpret_cast<HMENU>(1001), nullptr, nullptr);
        ASSERT_TRUE(bar);
    }
    void TearDown() override {
        DestroyWindow(parent);
        WindowTest::TearDown();
    }
    COLORREF BarPixel(int clientX, int clientY) {
        const POINT p = ScreenPoint(bar, clientX, clientY);
        return ScreenPixel(p.x, p.y);
    }
    HWND parent = nullptr;
    HWND bar = nullptr;
};

TEST_F(ProgressTest, DrawsGreenBlocksOnBlackInsideTheBorder) {
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageA(bar, PBM_SETBKCOLOR, 0, RGB(0, 0, 0));
    SendMessageA(bar, PBM_SETBARCOLOR, 0, RGB(0, 255, 0));
    SendMessageA(bar, PBM_SETPOS, 50, 0);
    RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const COLORREF green = RGB(0, 255, 0);
    const COLORREF black = RGB(0, 0, 0);
    // Client 330 x 42, blocks inside a 1-pixel margin: 27 wide (2/3 of 40), 2-pixel gaps;
    // half of 328 is 164, so blocks start at 1, 30, ..., 146 (the last one whole).
    const int blockLeft[] = {1, 30, 59, 146};
    for (const int x : blockLeft) {
        EXPECT_EQ(BarPixel(x, 20), green) << "block at " << x;
        EXPECT_EQ(BarPixel(x + 26, 20), green) << "block end at " << x + 26;
        EXPECT_EQ(BarPixel(x + 27, 20), black) << "gap after " << x;
    }
    EXPECT_EQ(BarPixel(0, 20), black) << "the margin";
    EXPECT_EQ(BarPixel(1, 0), black) << "the margin";
    EXPECT_EQ(BarPixel(200, 20), black) << "beyond the position";
    const POINT border = ScreenPoint(bar, -1, 10);
    EXPECT_EQ(ScreenPixel(border.x, border.y), GetSysColor(COLOR_BTNSHADOW)) << "the thin edge";

    SendMessageA(bar, PBM_SETPOS, 500, 0);
    UpdateWindow(bar);
    EXPECT_EQ(BarPixel(320, 20), green) << "a position past the end fills the bar";
    EXPECT_EQ(BarPixel(328, 20), green) << "the last block is cut at the margin";
    EXPECT_EQ(BarPixel(329, 20), black) << "the margin";
}

TEST_F(ProgressTest, UpdateWindowShowsTheNewPositionWithoutAMessageLoop) {
    SendMessageA(bar, PBM_SETBARCOLOR, 0, RGB(0, 255, 0));
    SendMessageA(bar, PBM_SETBKCOLOR, 0, RGB(0, 0, 0));
    UpdateWindow(parent);
    SendMessageA(bar, PBM_SETPOS, 100, 0);
    EXPECT_NE(BarPixel(100, 20), RGB(0, 255, 0)) << "painted before being asked to";
    UpdateWindow(bar);
    EXPECT_EQ(BarPixel(100, 20), RGB(0, 255, 0));
}

} // namespace
