// The progress bar holds its position inside its range; the common controls take only their
// own structure.
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

} // namespace
