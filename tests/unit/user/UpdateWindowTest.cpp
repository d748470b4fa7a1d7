// UpdateWindow paints at once: a busy thread that pumps no messages still gets its pixels on
// the screen before the call returns.
#include "TestSupport.h"
#include "platform/gdi32.h"

using namespace usertest;

namespace {

constexpr UINT kMarker = WM_USER + 40;

class UpdateWindowTest : public WindowTest {};

TEST_F(UpdateWindowTest, PaintsAndPresentsWithoutTouchingTheQueue) {
    COLORREF colour = RGB(255, 0, 0);
    const HWND window = CreateLogWindow(WS_POPUP | WS_VISIBLE, 300, 200, 120, 80);
    MessageLog::Get().hook = [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (h != window || msg != WM_PAINT) {
            return false;
        }
        PAINTSTRUCT ps{};
        const HDC dc = BeginPaint(h, &ps);
        const HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &ps.rcPaint, brush);
        DeleteObject(brush);
        EndPaint(h, &ps);
        result = 0;
        return true;
    };
    UpdateWindow(window);
    EXPECT_EQ(ScreenPixel(360, 240), RGB(255, 0, 0));

    PostMessageA(window, kMarker, 0, 0);
    colour = RGB(0, 0, 255);
    InvalidateRect(window, nullptr, FALSE);
    EXPECT_EQ(ScreenPixel(360, 240), RGB(255, 0, 0)) << "invalidating alone repainted";
    MessageLog::Get().Clear();
    EXPECT_TRUE(UpdateWindow(window));
    EXPECT_EQ(ScreenPixel(360, 240), RGB(0, 0, 255)) << "the pixels did not reach the screen";
    EXPECT_EQ(ScreenPixel(300, 200), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(419, 279), RGB(0, 0, 255));
    EXPECT_EQ(MessageLog::Get().Of(window, {WM_PAINT, kMarker}), std::vector<UINT>{WM_PAINT});
    MSG msg{};
    EXPECT_TRUE(PeekMessageA(&msg, window, kMarker, kMarker, PM_NOREMOVE))
        << "UpdateWindow ran the message loop";

    MessageLog::Get().Clear();
    UpdateWindow(window);
    EXPECT_TRUE(MessageLog::Get().Of(window, {WM_PAINT}).empty()) << "painted a valid window";
    MessageLog::Get().hook = nullptr;
    DestroyWindow(window);
}

// Windows of no width or height have empty surfaces: painting them, and growing them out of
// that, must touch no pixel that is not there.
TEST_F(UpdateWindowTest, EmptyWindowsPaintAndGrowSafely) {
    const SIZE sizes[] = {{0, 50}, {50, 0}, {0, 0}};
    for (const SIZE& size : sizes) {
        const HWND window =
            CreateLogWindow(WS_POPUP | WS_VISIBLE | WS_BORDER, 600, 500, size.cx, size.cy);
        ASSERT_TRUE(window) << size.cx << " x " << size.cy;
        EXPECT_TRUE(UpdateWindow(window));
        EXPECT_TRUE(MoveWindow(window, 600, 500, 60, 40, TRUE));
        EXPECT_TRUE(UpdateWindow(window));
        EXPECT_EQ(ScreenPixel(600, 500), GetSysColor(COLOR_WINDOWFRAME))
            << "no border after growing from " << size.cx << " x " << size.cy;
        EXPECT_EQ(ScreenPixel(630, 520), GetSysColor(COLOR_WINDOW));
        DestroyWindow(window);
    }
}

} // namespace
