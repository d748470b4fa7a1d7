// Window regions: what SetWindowRgn is given comes back from GetWindowRgn as a copy, in window
// coordinates; a hole lets WindowFromPoint through to what lies below; NULL removes the
// region; and the region belongs to the system once the call has succeeded.
#include "Win32Test.h"

#include "platform/gdi32.h"

#include <array>
#include <cstdint>
#include <string>

using namespace win32test;

namespace {

using Box = std::array<LONG, 4>;

// The region's rectangles as left, top, right, bottom, in the order GetRegionData gives them.
std::vector<Box> Rects(HRGN region) {
    const DWORD size = GetRegionData(region, 0, nullptr);
    if (size < sizeof(RGNDATAHEADER)) {
        ADD_FAILURE() << "GetRegionData gave no size";
        return {};
    }
    std::vector<std::uint64_t> storage((size + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
    auto* data = reinterpret_cast<RGNDATA*>(storage.data());
    if (GetRegionData(region, size, data) != size) {
        ADD_FAILURE() << "GetRegionData did not fill what it asked for";
        return {};
    }
    const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
    std::vector<Box> boxes;
    for (DWORD i = 0; i < data->rdh.nCount; ++i) {
        boxes.push_back(Box{rects[i].left, rects[i].top, rects[i].right, rects[i].bottom});
    }
    return boxes;
}

// A 100 x 100 square with a 50 x 50 hole in its middle.
HRGN Frame() {
    const HRGN frame = CreateRectRgn(0, 0, 100, 100);
    const HRGN hole = CreateRectRgn(25, 25, 75, 75);
    CombineRgn(frame, frame, hole, RGN_DIFF);
    DeleteObject(hole);
    return frame;
}

const std::vector<Box> kFrameBands{
    {0, 0, 100, 25}, {0, 25, 25, 75}, {75, 25, 100, 75}, {0, 75, 100, 100}};

// A shaped window exactly above another one at (400,100)-(500,200).
class WindowRgnTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        below.reset(CreateLogWindow(WS_POPUP | WS_VISIBLE, 400, 100, 100, 100));
        shaped.reset(CreateLogWindow(WS_POPUP | WS_VISIBLE, 400, 100, 100, 100));
        ASSERT_NE(below.get(), nullptr);
        ASSERT_NE(shaped.get(), nullptr);
        Pump();
    }

    UniqueWindow below;
    UniqueWindow shaped;
};

TEST_F(WindowRgnTest, GetWindowRgnGivesBackACopyOfTheBandsSet) {
    ASSERT_NE(SetWindowRgn(shaped.get(), Frame(), TRUE), 0);
    const HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(shaped.get(), copy), COMPLEXREGION);
    EXPECT_EQ(Rects(copy), kFrameBands);

    OffsetRgn(copy, 7, 7);
    const HRGN again = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(shaped.get(), again), COMPLEXREGION);
    EXPECT_EQ(Rects(again), kFrameBands) << "changing the copy changed the window's region";
    DeleteObject(copy);
    DeleteObject(again);
}

struct HitCase {
    const char* name;
    POINT point;
    bool hitsShaped;
};

class WindowRgnHitTest : public WindowRgnTest, public ::testing::WithParamInterface<HitCase> {};

TEST_P(WindowRgnHitTest, OnlyTheRegionHitsUntilItIsRemoved) {
    ASSERT_NE(SetWindowRgn(shaped.get(), Frame(), TRUE), 0);
    const HWND expected = GetParam().hitsShaped ? shaped.get() : below.get();
    EXPECT_EQ(WindowFromPoint(GetParam().point), expected);

    ASSERT_NE(SetWindowRgn(shaped.get(), nullptr, TRUE), 0);
    const HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(shaped.get(), probe), ERROR);
    DeleteObject(probe);
    EXPECT_EQ(WindowFromPoint(GetParam().point), shaped.get());
}

INSTANTIATE_TEST_SUITE_P(Points, WindowRgnHitTest,
                         ::testing::Values(HitCase{"Hole", {450, 150}, false},
                                           HitCase{"HoleEdge", {425, 125}, false},
                                           HitCase{"TopBand", {410, 110}, true},
                                           HitCase{"LeftBand", {405, 150}, true},
                                           HitCase{"LastPixel", {499, 199}, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowRgnTest, TheRegionIsInWindowCoordinatesCaptionIncluded) {
    const UniqueWindow framed(
        CreateLogWindow(WS_POPUP | WS_CAPTION | WS_VISIBLE, 600, 300, 160, 120));
    ASSERT_NE(framed.get(), nullptr);
    ASSERT_NE(SetWindowRgn(framed.get(), CreateRectRgn(0, 0, 20, 20), TRUE), 0);
    RECT window{};
    GetWindowRect(framed.get(), &window);
    POINT client{0, 0};
    ClientToScreen(framed.get(), &client);
    ASSERT_GT(client.y - window.top, 5) << "the window has no caption";

    EXPECT_EQ(WindowFromPoint(POINT{window.left + 5, window.top + 5}), framed.get());
    EXPECT_NE(WindowFromPoint(POINT{client.x + 25, client.y + 25}), framed.get());
    const HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(framed.get(), copy), SIMPLEREGION);
    EXPECT_EQ(Rects(copy), (std::vector<Box>{{0, 0, 20, 20}}));
    DeleteObject(copy);
}

TEST_F(WindowRgnTest, TheSystemDeletesARegionItWasGiven) {
    const HRGN first = Frame();
    ASSERT_NE(SetWindowRgn(shaped.get(), first, FALSE), 0);
    const HRGN second = CreateRectRgn(0, 0, 50, 50);
    ASSERT_NE(SetWindowRgn(shaped.get(), second, FALSE), 0);
    EXPECT_EQ(GetObjectType(first), 0u) << "the replaced region was left behind";

    shaped.reset();
    EXPECT_EQ(GetObjectType(second), 0u) << "the region outlived its window";
}

TEST_F(WindowRgnTest, AFailedCallLeavesTheRegionToTheCaller) {
    const HWND gone = shaped.get();
    shaped.reset();
    const HRGN region = CreateRectRgn(0, 0, 10, 10);
    EXPECT_EQ(SetWindowRgn(gone, region, FALSE), 0);
    EXPECT_EQ(GetObjectType(region), static_cast<DWORD>(OBJ_REGION));
    EXPECT_TRUE(DeleteObject(region));
}

} // namespace
