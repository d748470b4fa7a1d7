// WindowFromPoint: the deepest visible, enabled window under a screen point, the topmost
// top-level first; hidden windows and disabled children are passed over, and a point over
// none of ours still names a window.
#include "Win32Test.h"

#include <array>
#include <string>

using namespace win32test;

namespace {

enum Role { kTop, kChild, kGrandchild, kLater, kRoleCount };

struct PointCase {
    const char* name;
    POINT point;
    Role expected;
};

// The top-level spans (100,100)-(300,250); its children sit in a row along its top, and a
// later top-level overlaps its lower right corner.
class WindowFromPointTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        top.reset(CreateLogWindow(WS_POPUP | WS_VISIBLE, 100, 100, 200, 150));
        ASSERT_NE(top.get(), nullptr);
        const HWND child = CreateLogWindow(WS_CHILD | WS_VISIBLE, 10, 10, 40, 40, top.get(), 1);
        const HWND grandchild = CreateLogWindow(WS_CHILD | WS_VISIBLE, 5, 5, 10, 10, child, 2);
        const HWND hidden = CreateLogWindow(WS_CHILD, 60, 10, 40, 40, top.get(), 3);
        const HWND disabled =
            CreateLogWindow(WS_CHILD | WS_VISIBLE | WS_DISABLED, 110, 10, 40, 40, top.get(), 4);
        hiddenTop.reset(CreateLogWindow(WS_POPUP, 150, 180, 60, 40));
        later.reset(CreateLogWindow(WS_POPUP | WS_VISIBLE, 250, 200, 100, 100));
        ASSERT_TRUE(child && grandchild && hidden && disabled && hiddenTop && later);
        roles = {top.get(), child, grandchild, later.get()};
        Pump();
    }

    UniqueWindow top;
    UniqueWindow hiddenTop;
    UniqueWindow later;
    std::array<HWND, kRoleCount> roles{};
};

class WindowFromPointCaseTest : public WindowFromPointTest,
                                public ::testing::WithParamInterface<PointCase> {};

TEST_P(WindowFromPointCaseTest, ThePointNamesTheDeepestVisibleEnabledWindow) {
    EXPECT_EQ(WindowFromPoint(GetParam().point), roles[GetParam().expected]);
}

INSTANTIATE_TEST_SUITE_P(Points, WindowFromPointCaseTest,
                         ::testing::Values(PointCase{"Client", {180, 230}, kTop},
                                           PointCase{"Child", {140, 140}, kChild},
                                           PointCase{"Grandchild", {120, 120}, kGrandchild},
                                           PointCase{"HiddenChild", {180, 130}, kTop},
                                           PointCase{"DisabledChild", {230, 130}, kTop},
                                           PointCase{"HiddenTopLevel", {170, 190}, kTop},
                                           PointCase{"LaterTopLevelIsAbove", {275, 225}, kLater},
                                           PointCase{"LaterTopLevelAlone", {330, 280}, kLater}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowFromPointTest, APointOverNoneOfOursStillNamesAWindow) {
    const HWND found = WindowFromPoint(POINT{900, 700});
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(IsWindow(found));
    for (const HWND ours : roles) {
        EXPECT_NE(found, ours);
    }
    EXPECT_NE(found, hiddenTop.get());
}

} // namespace
