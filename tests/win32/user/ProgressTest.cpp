// The progress bar: positions held inside the range, and its classic blocks in exact pixels.
#include "Win32Test.h"
#include "platform/commctrl.h"

using namespace win32test;

namespace {

class ProgressTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        parent = CreateLogWindow(WS_POPUP | WS_VISIBLE, 100, 100, 400, 100);
        // 332 x 44 with a border, as the updater places its bar: 328 x 40 inside the margin.
        bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE | WS_BORDER, 24, 20,
                              332, 44, parent, reinterpret_cast<HMENU>(1001), nullptr, nullptr);
        ASSERT_TRUE(bar);
    }
    void TearDown() override {
        DestroyWindow(parent);
        WindowTest::TearDown();
    }
    COLORREF BarPixel(int clientX, int clientY) { return ClientPixel(bar, clientX, clientY); }
    HWND parent = nullptr;
    HWND bar = nullptr;
};

struct InitCase {
    DWORD size;
    DWORD classes;
    BOOL result;
};

TEST(CommonControlsTest, InitCommonControlsExTakesOnlyItsOwnStructure) {
    const InitCase cases[] = {
        {sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS | ICC_BAR_CLASSES, TRUE},
        {sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS, TRUE},
        {sizeof(INITCOMMONCONTROLSEX) - 1, ICC_PROGRESS_CLASS, FALSE},
        {sizeof(INITCOMMONCONTROLSEX) + 4, ICC_PROGRESS_CLASS, FALSE},
        {0, ICC_PROGRESS_CLASS, FALSE},
    };
    for (const InitCase& c : cases) {
        const INITCOMMONCONTROLSEX controls{c.size, c.classes};
        EXPECT_EQ(InitCommonControlsEx(&controls), c.result) << "dwSize " << c.size;
    }
    EXPECT_FALSE(InitCommonControlsEx(nullptr));
}

struct PosCase {
    int requested;
    int held;
};

TEST_F(ProgressTest, PositionsAreHeldInsideTheRange) {
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    const PosCase cases[] = {{37, 37}, {150, 100}, {-5, 0}, {100, 100}, {0, 0}};
    for (const PosCase& c : cases) {
        SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(c.requested), 0);
        EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), c.held) << "requested " << c.requested;
    }
    EXPECT_EQ(SendMessageA(bar, PBM_SETPOS, 20, 0), 0) << "answers the previous position";
    EXPECT_EQ(SendMessageA(bar, PBM_SETSTEP, 1, 0), 10) << "the default step is 10";
    EXPECT_EQ(SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 10)), MAKELONG(0, 100));
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 10) << "a narrower range pulls the position in";
}

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
    EXPECT_EQ(FramePixel(bar, 0, 10), RGB(0, 0, 0)) << "the 1-pixel border";

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
