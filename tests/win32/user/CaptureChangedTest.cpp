// Mouse capture: SetCapture answers the previous holder, the window that loses capture hears
// WM_CAPTURECHANGED naming the new holder, and a destroyed holder gives capture up.
#include "Win32Test.h"

#include <tuple>

using namespace win32test;

namespace {

using Change = std::tuple<HWND, UINT, LPARAM>;

std::vector<Change> CaptureChanges() {
    std::vector<Change> seen;
    for (const Logged& e : MessageLog::Get().Entries()) {
        if (e.message == WM_CAPTURECHANGED) {
            seen.emplace_back(e.hwnd, e.message, e.lParam);
        }
    }
    return seen;
}

LPARAM AsParam(HWND hwnd) {
    return reinterpret_cast<LPARAM>(hwnd);
}

class CaptureChangedTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        first.reset(CreateLogWindow(WS_POPUP | WS_VISIBLE, 20, 20, 100, 80));
        second.reset(CreateLogWindow(WS_POPUP | WS_VISIBLE, 140, 20, 100, 80));
        ASSERT_NE(first.get(), nullptr);
        ASSERT_NE(second.get(), nullptr);
        ReleaseCapture();
        Pump();
        MessageLog::Get().Clear();
    }

    UniqueWindow first;
    UniqueWindow second;
};

TEST_F(CaptureChangedTest, EachCallAnswersThePreviousHolderWhichHearsWhoTookOver) {
    const HWND a = first.get();
    const HWND b = second.get();

    EXPECT_EQ(SetCapture(a), nullptr);
    EXPECT_EQ(GetCapture(), a);
    EXPECT_EQ(SetCapture(b), a);
    EXPECT_EQ(GetCapture(), b);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);

    const std::vector<Change> expected{{a, WM_CAPTURECHANGED, AsParam(b)},
                                       {b, WM_CAPTURECHANGED, 0}};
    EXPECT_EQ(CaptureChanges(), expected);
}

TEST_F(CaptureChangedTest, ReleasingWithoutCaptureSendsNothing) {
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(CaptureChanges(), std::vector<Change>{});
}

TEST_F(CaptureChangedTest, AChildCanHoldCaptureAndLosesItToAnotherTopLevel) {
    const HWND child = CreateLogWindow(WS_CHILD | WS_VISIBLE, 5, 5, 30, 30, first.get(), 3);
    ASSERT_NE(child, nullptr);
    MessageLog::Get().Clear();

    EXPECT_EQ(SetCapture(child), nullptr);
    EXPECT_EQ(GetCapture(), child);
    EXPECT_EQ(SetCapture(second.get()), child);

    const std::vector<Change> expected{{child, WM_CAPTURECHANGED, AsParam(second.get())}};
    EXPECT_EQ(CaptureChanges(), expected);
}

struct DestroyCase {
    const char* name;
    bool captureOnChild;
};

class CaptureDestroyTest : public CaptureChangedTest,
                           public ::testing::WithParamInterface<DestroyCase> {};

TEST_P(CaptureDestroyTest, DestroyingTheHolderOrItsParentReleasesCapture) {
    const HWND child = CreateLogWindow(WS_CHILD | WS_VISIBLE, 5, 5, 30, 30, first.get(), 3);
    ASSERT_NE(child, nullptr);
    SetCapture(GetParam().captureOnChild ? child : first.get());

    DestroyWindow(first.get());

    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(SetCapture(second.get()), nullptr) << "a destroyed holder is not answered";
}

INSTANTIATE_TEST_SUITE_P(Holders, CaptureDestroyTest,
                         ::testing::Values(DestroyCase{"TopLevel", false},
                                           DestroyCase{"Child", true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
