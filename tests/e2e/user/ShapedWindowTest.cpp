// A top-level window shaped by SetWindowRgn on a real X server: X shows and hits only the
// region, so the hole shows the window beneath and a click there reaches it. Its title and
// icon reach the X window's properties.
#include "X11WindowTest.h"

namespace usere2e {

namespace {

using nerith::testing::ShapeKind;

class ShapedWindowTest : public X11WindowTest {};

constexpr RECT kPlace{100, 100, 400, 300};
constexpr RECT kHole{100, 50, 200, 150}; // window coordinates

bool Covers(const std::vector<RECT>& rects, POINT p) {
    for (const RECT& r : rects) {
        if (PtInRect(&r, p)) {
            return true;
        }
    }
    return false;
}

long Area(const std::vector<RECT>& rects) {
    long area = 0;
    for (const RECT& r : rects) {
        area += static_cast<long>(r.right - r.left) * (r.bottom - r.top);
    }
    return area;
}

TEST_F(ShapedWindowTest, TheHoleShowsAndPassesClicksToTheWindowBeneath) {
    const HWND beneath = CreateProbe("beneath", WS_POPUP | WS_VISIBLE, kPlace, RGB(0, 0, 255));
    const HWND shaped = CreateProbe("shaped", WS_POPUP | WS_VISIBLE, kPlace, RGB(255, 0, 0));
    ASSERT_TRUE(beneath && shaped);
    const HRGN region = CreateRectRgn(0, 0, 300, 200);
    const HRGN hole = CreateRectRgnIndirect(&kHole);
    CombineRgn(region, region, hole, RGN_DIFF);
    DeleteObject(hole);
    ASSERT_NE(SetWindowRgn(shaped, region, TRUE), 0);

    const POINT inHole{kPlace.left + 150, kPlace.top + 100};
    const POINT onShape{kPlace.left + 20, kPlace.top + 20};
    EXPECT_TRUE(PumpUntil([&] {
        return Viewable(beneath) && Viewable(shaped) && PixelAt(inHole) == RGB(0, 0, 255) &&
               PixelAt(onShape) == RGB(255, 0, 0);
    })) << "hole "
        << std::hex << PixelAt(inHole) << ", shape " << PixelAt(onShape);

    const nerith::testing::XId xShaped = XWindowOf(shaped);
    for (const ShapeKind kind : {ShapeKind::Bounding, ShapeKind::Input}) {
        const std::vector<RECT> rects = x_->ShapeRects(xShaped, kind);
        EXPECT_EQ(Area(rects), 300L * 200 - 100L * 100);
        EXPECT_FALSE(Covers(rects, POINT{150, 100})) << "the hole is in the X shape";
        EXPECT_TRUE(Covers(rects, POINT{20, 20}));
        EXPECT_TRUE(Covers(rects, POINT{299, 199}));
    }

    input_->Click(inHole);
    EXPECT_TRUE(PumpUntil([&] { return ClicksOn(beneath, WM_LBUTTONUP) == 1; }))
        << "the click in the hole did not reach the window beneath";
    EXPECT_EQ(ClicksOn(shaped, WM_LBUTTONDOWN), 0u);
    input_->Click(onShape);
    EXPECT_TRUE(PumpUntil([&] { return ClicksOn(shaped, WM_LBUTTONUP) == 1; }));
    EXPECT_EQ(ClicksOn(beneath, WM_LBUTTONDOWN), 1u);
    ASSERT_FALSE(Clicks().empty());
    EXPECT_EQ(Clicks().back().client.x, 20) << "client coordinates of the click";
    DestroyWindow(shaped);
    DestroyWindow(beneath);
}

TEST_F(ShapedWindowTest, TitleAndIconReachTheXWindow) {
    const HWND window = CreateProbe("untitled", WS_POPUP | WS_VISIBLE | WS_BORDER,
                                    RECT{50, 50, 250, 150}, RGB(0, 128, 0));
    ASSERT_TRUE(window);
    ASSERT_TRUE(PumpUntil([&] { return Viewable(window); }));
    const nerith::testing::XId xid = XWindowOf(window);
    ASSERT_TRUE(SetWindowTextA(window, "Nerith updater"));
    const auto titled = [&] {
        return x_->TextProperty(xid, "_NET_WM_NAME").value_or("") == "Nerith updater";
    };
    EXPECT_TRUE(PumpUntil(titled));
    EXPECT_EQ(x_->TextProperty(xid, "WM_NAME").value_or(""), "Nerith updater");

    const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128));
    ASSERT_NE(icon, nullptr);
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    std::vector<unsigned long> property;
    PumpUntil([&] { return !(property = x_->Property32(xid, "_NET_WM_ICON")).empty(); });
    ASSERT_EQ(property.size(), 2u + 32 * 32) << "not one 32 x 32 image";
    EXPECT_EQ(property[0], 32u);
    EXPECT_EQ(property[1], 32u);

    // The opaque pixels are the ones DrawIcon paints, in the same places.
    const HDC dc = CreateCompatibleDC(nullptr);
    const HDC screen = GetDC(nullptr);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    ASSERT_TRUE(DrawIcon(dc, 0, 0, icon));
    int opaque = 0;
    int transparent = 0;
    int misplaced = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const unsigned long argb = property[2 + static_cast<std::size_t>(y) * 32 + x];
            if ((argb >> 24) == 0xFF) {
                ++opaque;
                misplaced += (argb & 0xFFFFFF) == ToRgb(GetPixel(dc, x, y)) ? 0 : 1;
            } else if ((argb >> 24) == 0) {
                ++transparent;
            }
        }
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EXPECT_GT(opaque, 200);
    EXPECT_EQ(misplaced, 0) << "the X icon's pixels differ from the icon's";
    EXPECT_GT(transparent, 0) << "the icon's corners are not transparent";
    DestroyWindow(window);
}

} // namespace

} // namespace usere2e
