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

std::uint32_t Pixel(COLORREF c) {
    return (std::uint32_t{GetRValue(c)} << 16) | (std::uint32_t{GetGValue(c)} << 8) | GetBValue(c);
}

COLORREF RowColour(int y) {
    return RGB(y % 256, (y * 7) % 256, 128);
}

void PaintRows(HWND window) {
    PAINTSTRUCT ps{};
    const HDC dc = BeginPaint(window, &ps);
    for (int y = ps.rcPaint.top; y < ps.rcPaint.bottom; ++y) {
        const HBRUSH brush = CreateSolidBrush(RowColour(y));
        const RECT row{ps.rcPaint.left, y, ps.rcPaint.right, y + 1};
        FillRect(dc, &row, brush);
        DeleteObject(brush);
    }
    EndPaint(window, &ps);
}

// A wide window reaches the screen a few rows at a time; every row of it, and of a child that
// spans many such bands, must land where it belongs.
TEST_F(UpdateWindowTest, WideWindowsAndTheirChildrenReachTheScreenRowForRow) {
    constexpr POINT kAt{100, 100};
    constexpr SIZE kSize{1000, 300};
    const HWND window = CreateLogWindow(WS_POPUP | WS_VISIBLE, kAt.x, kAt.y, kSize.cx, kSize.cy);
    const HWND child = CreateLogWindow(WS_CHILD | WS_VISIBLE, 600, 7, 30, 250, window);
    ASSERT_TRUE(window && child);
    MessageLog::Get().hook = [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (h != window || msg != WM_PAINT) {
            return false;
        }
        PaintRows(h);
        result = 0;
        return true;
    };
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const platform::display::Image shown = WindowImage(window);
    ASSERT_EQ(shown.width, kSize.cx);
    for (int y = 0; y < kSize.cy; ++y) {
        const bool inChild = y >= 7 && y < 257;
        EXPECT_EQ(shown.At(0, y), Pixel(RowColour(y))) << "row " << y;
        EXPECT_EQ(shown.At(kSize.cx - 1, y), Pixel(RowColour(y))) << "row " << y;
        EXPECT_EQ(shown.At(599, y), Pixel(RowColour(y))) << "row " << y;
        EXPECT_EQ(shown.At(615, y), Pixel(inChild ? GetSysColor(COLOR_WINDOW) : RowColour(y)))
            << "row " << y;
    }
    MessageLog::Get().hook = nullptr;
    DestroyWindow(window);
}

// Nothing is shown of a hidden window; what it drew meanwhile appears once it is shown.
TEST_F(UpdateWindowTest, WhatAHiddenWindowDrewAppearsWhenItIsShown) {
    const HWND window = CreateLogWindow(WS_POPUP, 700, 100, 60, 40);
    ASSERT_TRUE(window);
    MessageLog::Get().hook = [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (h != window || (msg != WM_PAINT && msg != WM_ERASEBKGND)) {
            return false;
        }
        ValidateRect(h, nullptr); // keeps what GetDC drew
        result = 1;
        return true;
    };
    const HDC dc = GetDC(window);
    const HBRUSH brush = CreateSolidBrush(RGB(10, 200, 30));
    const RECT all{0, 0, 60, 40};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
    EXPECT_NE(ScreenPixel(720, 120), RGB(10, 200, 30)) << "a hidden window reached the screen";
    ShowWindow(window, SW_SHOWNA);
    EXPECT_EQ(ScreenPixel(720, 120), RGB(10, 200, 30));
    EXPECT_EQ(ScreenPixel(759, 139), RGB(10, 200, 30));
    MessageLog::Get().hook = nullptr;
    DestroyWindow(window);
}

} // namespace
