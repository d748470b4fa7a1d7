// Icons from icon resources: the image of the system's icon size is chosen from the group and
// drawn at that size, its AND mask lets what is beneath through (inverted by the image's colour
// there), and a damaged image cannot make drawing read past it.
#include "Win32Test.h"
#include "platform/gdi32.h"

using namespace win32test;

namespace {

constexpr int kSizes = 1;    // 16 x 16 red, 32 x 32 green (top-left 8 x 8 masked), 48 x 48 blue
constexpr int kBadIndex = 2; // 1 x 1, pixel index 255 of a one-colour palette
constexpr COLORREF kGrey = RGB(128, 128, 128);
// Grey beneath the mask, inverted by the green image there.
constexpr COLORREF kGreyXorGreen = RGB(128, 127, 128);

struct Canvas {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;

    Canvas() {
        const HDC screen = GetDC(nullptr);
        bitmap = CreateCompatibleBitmap(screen, 64, 64);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bitmap);
        const HBRUSH grey = CreateSolidBrush(kGrey);
        const RECT all{0, 0, 64, 64};
        FillRect(dc, &all, grey);
        DeleteObject(grey);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

HICON Load(int id) {
    return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
}

struct PixelCase {
    POINT at;
    COLORREF expected;
    const char* why;
};

TEST(IconTest, TheSystemSizeIsChosenAndTheMaskIsTransparent) {
    ASSERT_EQ(GetSystemMetrics(SM_CXICON), 32);
    const HICON icon = Load(kSizes);
    ASSERT_NE(icon, nullptr);
    Canvas canvas;
    ASSERT_TRUE(DrawIcon(canvas.dc, 0, 0, icon));
    const PixelCase cases[] = {
        {{0, 0}, kGreyXorGreen, "masked corner"},
        {{7, 7}, kGreyXorGreen, "last masked pixel"},
        {{8, 7}, RGB(0, 255, 0), "right of the mask"},
        {{7, 8}, RGB(0, 255, 0), "below the mask"},
        {{31, 31}, RGB(0, 255, 0), "the 32-pixel image's last pixel"},
        {{32, 31}, kGrey, "beyond 32 pixels: not the 48-pixel image"},
        {{31, 32}, kGrey, "beyond 32 pixels: not the 48-pixel image"},
    };
    for (const PixelCase& c : cases) {
        EXPECT_EQ(GetPixel(canvas.dc, c.at.x, c.at.y), c.expected)
            << c.why << " at " << c.at.x << "," << c.at.y;
    }
    EXPECT_EQ(Load(kSizes), icon) << "loading again gives the shared icon";
}

// The one pixel is stretched to the system's icon size.
TEST(IconTest, APaletteIndexBeyondThePaletteDrawsBlack) {
    const HICON icon = Load(kBadIndex);
    ASSERT_NE(icon, nullptr);
    Canvas canvas;
    ASSERT_TRUE(DrawIcon(canvas.dc, 5, 5, icon));
    EXPECT_EQ(GetPixel(canvas.dc, 5, 5), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 36, 36), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 37, 5), kGrey);
    EXPECT_EQ(GetPixel(canvas.dc, 5, 37), kGrey);
}

TEST(IconTest, MissingIconsFail) {
    EXPECT_EQ(Load(999), nullptr);
    Canvas canvas;
    EXPECT_FALSE(DrawIcon(canvas.dc, 0, 0, nullptr));
}

} // namespace
