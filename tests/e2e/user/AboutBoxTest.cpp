// The About box (dialog 100) on a real X server looks like a classic About box: a dark blue
// caption fading to the right with its title, the icon, two lines of text and a default OK
// button. The screenshot is kept as about-box.png for people to look at.
#include "X11WindowTest.h"

namespace usere2e {

namespace {

using nerith::testing::Image;

class AboutBoxTest : public X11WindowTest {};

int CountIf(const Image& image, const RECT& r, const std::function<bool(std::uint32_t)>& f) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            n += f(image.At(x, y)) ? 1 : 0;
        }
    }
    return n;
}

// The children of the dialog in template order: icon, two lines, OK.
std::vector<HWND> Children(HWND dialog) {
    std::vector<HWND> children;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        children.push_back(c);
    }
    return children;
}

RECT InWindow(HWND child, const RECT& window) {
    RECT r{};
    GetWindowRect(child, &r);
    OffsetRect(&r, -window.left, -window.top);
    return r;
}

TEST_F(AboutBoxTest, LooksLikeAClassicAboutBox) {
    Image shot;
    RECT window{};
    std::vector<RECT> items;
    OnceShownDialog about(100);
    about.script = [&](OnceShownDialog& d) {
        d.GetWindowRect(&window);
        const COLORREF caption = GetSysColor(COLOR_ACTIVECAPTION);
        // Shown once X has mapped it and our pixels reached the server.
        EXPECT_TRUE(PumpUntil([&] {
            return Viewable(d.m_hWnd) && PixelAt(POINT{window.left + 5, window.top + 8}) == caption;
        })) << "the About box never appeared on the X screen";
        EXPECT_EQ(x_->Geometry(XWindowOf(d.m_hWnd)).value_or(RECT{}).left, window.left);
        shot = Capture(window);
        for (HWND c : Children(d.m_hWnd)) {
            items.push_back(InWindow(c, window));
        }
        d.EndDialog(IDOK);
    };
    ASSERT_EQ(about.DoModal(), IDOK);
    ASSERT_FALSE(shot.Empty());
    std::string error;
    EXPECT_TRUE(nerith::testing::WritePng(NERITH_ABOUT_BOX_PNG, shot, &error)) << error;
    ASSERT_EQ(items.size(), 4u) << "icon, two lines and OK";

    const std::uint32_t navy = ToRgb(GetSysColor(COLOR_ACTIVECAPTION));
    const std::uint32_t face = ToRgb(GetSysColor(COLOR_3DFACE));
    const std::uint32_t white = ToRgb(GetSysColor(COLOR_CAPTIONTEXT));
    const int width = shot.width;
    EXPECT_EQ(shot.At(4, 8), navy) << "the caption starts dark blue";
    const std::uint32_t right = shot.At(width - 30, 8);
    EXPECT_GT(right & 0xFF, navy & 0xFF) << "the caption does not fade to a lighter blue";
    EXPECT_GT(CountIf(shot, RECT{4, 4, 120, 20}, [&](std::uint32_t p) { return p == white; }), 20)
        << "no title in the caption";
    EXPECT_EQ(shot.At(width / 2, shot.height - 5), face) << "the dialog's face";
    EXPECT_EQ(shot.At(0, shot.height - 1), 0u) << "the dialog frame's dark outer corner";

    const RECT icon = items[0];
    EXPECT_GT(CountIf(shot, icon, [&](std::uint32_t p) { return p != face; }),
              (icon.right - icon.left) * (icon.bottom - icon.top) / 3)
        << "the icon is missing";
    for (int line = 1; line <= 2; ++line) {
        EXPECT_GT(CountIf(shot, items[line], [](std::uint32_t p) { return p == 0; }), 30)
            << "no text in line " << line;
    }
    const RECT ok = items[3];
    EXPECT_EQ(shot.At(ok.left, ok.top), 0u) << "the default button's black frame";
    EXPECT_EQ(shot.At(ok.right - 1, ok.bottom - 1), 0u);
    EXPECT_EQ(shot.At(ok.left + 3, ok.top + 3), face) << "the button's face";
    EXPECT_GT(CountIf(shot, RECT{ok.left + 4, ok.top + 3, ok.right - 4, ok.bottom - 3},
                      [](std::uint32_t p) { return p == 0; }),
              5)
        << "no OK on the button";
}

} // namespace

} // namespace usere2e
