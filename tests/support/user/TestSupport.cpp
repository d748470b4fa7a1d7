#include "TestSupport.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace usertest {

MessageLog& MessageLog::Get() {
    static MessageLog log;
    return log;
}

std::vector<UINT> MessageLog::Of(HWND hwnd, const std::vector<UINT>& only) const {
    std::vector<UINT> result;
    for (const Logged& e : entries_) {
        const bool wanted =
            only.empty() || std::find(only.begin(), only.end(), e.message) != only.end();
        if (e.hwnd == hwnd && wanted) {
            result.push_back(e.message);
        }
    }
    return result;
}

std::vector<UINT> MessageLog::All(const std::vector<UINT>& only) const {
    std::vector<UINT> result;
    for (const Logged& e : entries_) {
        if (std::find(only.begin(), only.end(), e.message) != only.end()) {
            result.push_back(e.message);
        }
    }
    return result;
}

namespace {

LRESULT CALLBACK LogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    MessageLog& log = MessageLog::Get();
    if (msg != WM_NCHITTEST) {
        log.Add(Logged{hwnd, msg, wParam, lParam});
    }
    LRESULT result = 0;
    if (log.hook && log.hook(hwnd, msg, wParam, lParam, result)) {
        return result;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

LPCSTR LogClass() {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &LogProc;
        wc.lpszClassName = "LogWindow";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        return RegisterClassA(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    return "LogWindow";
}

HWND CreateLogWindow(DWORD style, int x, int y, int width, int height, HWND parent, int id,
                     DWORD exStyle) {
    return CreateWindowExA(exStyle, LogClass(), "log", style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

void Pump() {
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void PumpFor(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

platform::display::HeadlessScreen& Screen() {
    platform::display::HeadlessScreen* screen = platform::display::Headless();
    if (!screen) {
        ADD_FAILURE() << "tests need NERITH_DISPLAY=headless";
        std::abort();
    }
    return *screen;
}

platform::display::Image WindowImage(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    const platform::display::Image screen = Screen().Screenshot();
    platform::display::Image image;
    image.width = r.right - r.left;
    image.height = r.bottom - r.top;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            const bool inside = x >= 0 && y >= 0 && x < screen.width && y < screen.height;
            image.pixels.push_back(inside ? screen.At(x, y) : 0);
        }
    }
    return image;
}

COLORREF ScreenPixel(int x, int y) {
    const std::uint32_t p = Screen().Screenshot().At(x, y);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

POINT ScreenPoint(HWND hwnd, int clientX, int clientY) {
    POINT p{clientX, clientY};
    ClientToScreen(hwnd, &p);
    return p;
}

void WindowTest::SetUp() {
    Screen().DiscardInput();
    Pump();
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    MessageLog::Get().Clear();
    MessageLog::Get().hook = nullptr;
}

void WindowTest::TearDown() {
    MessageLog::Get().hook = nullptr;
    if (GetCapture()) {
        ReleaseCapture();
    }
    Screen().DiscardInput();
}

} // namespace usertest
