#include "SkinTestSupport.h"

#include "SkinLibrary.h"
#include "user/Window.h"

#include <cstring>
#include <sstream>

namespace skintest {

void PumpUi() {
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    CWnd::DeleteTempMap();
    CDC::DeleteTempMap();
    CGdiObject::DeleteTempMap();
}

void PumpUiFor(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        PumpUi();
        ::Sleep(1);
    }
}

Image BitmapPixels(HBITMAP hBitmap, RECT rect) {
    Image image;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (!hBitmap || width <= 0 || height <= 0) {
        return image;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const HDC hdcDib = ::CreateCompatibleDC(nullptr);
    const HDC hdcSource = ::CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    const HBITMAP hDib = ::CreateDIBSection(hdcDib, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ oldDib = ::SelectObject(hdcDib, hDib);
    const HGDIOBJ oldSource = ::SelectObject(hdcSource, hBitmap);
    ::BitBlt(hdcDib, 0, 0, width, height, hdcSource, rect.left, rect.top, SRCCOPY);
    image.width = width;
    image.height = height;
    const auto* rows = static_cast<const std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = rows + static_cast<std::size_t>(height - 1 - y) * width;
        for (int x = 0; x < width; ++x) {
            image.pixels.push_back(row[x] & 0x00FFFFFF);
        }
    }
    ::SelectObject(hdcSource, oldSource);
    ::SelectObject(hdcDib, oldDib);
    ::DeleteObject(hDib);
    ::DeleteDC(hdcSource);
    ::DeleteDC(hdcDib);
    return image;
}

Image WholeBitmap(HBITMAP hBitmap) {
    BITMAP bm{};
    ::GetObjectA(hBitmap, sizeof bm, &bm);
    return BitmapPixels(hBitmap, RECT{0, 0, bm.bmWidth, bm.bmHeight});
}

Image SkinPicture(const char* id) {
    CBitmap picture;
    SIZE size{};
    LoadSkinJpeg(id, &picture, &size);
    return WholeBitmap(picture);
}

Image SkinMask() {
    CBitmap mask;
    SIZE size{};
    LoadSkinBitmap("1021", &mask, &size);
    return WholeBitmap(mask);
}

Image ScreenPixels(const RECT& screenRect) {
    return Crop(usertest::Screen().Screenshot(), screenRect);
}

Image Crop(const Image& image, const RECT& rect) {
    Image part;
    part.width = rect.right - rect.left;
    part.height = rect.bottom - rect.top;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            const bool inside = x >= 0 && y >= 0 && x < image.width && y < image.height;
            part.pixels.push_back(inside ? image.At(x, y) : 0xFF000000u);
        }
    }
    return part;
}

::testing::AssertionResult SameImage(const Image& actual, const Image& expected) {
    if (actual.width != expected.width || actual.height != expected.height) {
        return ::testing::AssertionFailure()
               << "size " << actual.width << " x " << actual.height << ", expected "
               << expected.width << " x " << expected.height;
    }
    if (expected.pixels.empty()) {
        return ::testing::AssertionFailure() << "nothing to compare";
    }
    for (int y = 0; y < actual.height; ++y) {
        for (int x = 0; x < actual.width; ++x) {
            if (actual.At(x, y) != expected.At(x, y)) {
                std::ostringstream text;
                text << std::hex << "(" << std::dec << x << ", " << y << "): 0x" << std::hex
                     << actual.At(x, y) << ", expected 0x" << expected.At(x, y);
                return ::testing::AssertionFailure() << text.str();
            }
        }
    }
    return ::testing::AssertionSuccess();
}

RECT ClientToScreenRect(HWND hWnd, RECT clientRect) {
    ::MapWindowPoints(hWnd, nullptr, reinterpret_cast<LPPOINT>(&clientRect), 2);
    return clientRect;
}

RECT WindowRectOf(HWND hWnd) {
    RECT rect{};
    ::GetWindowRect(hWnd, &rect);
    return rect;
}

POINT CentreOf(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

std::string VisibleTooltipText() {
    for (const platform::user::WindowPtr& window : platform::user::AllWindows()) {
        char className[64] = {};
        ::GetClassNameA(window->hwnd, className, sizeof className);
        if (std::strcmp(className, TOOLTIPS_CLASS) == 0 && ::IsWindowVisible(window->hwnd)) {
            char text[128] = {};
            ::GetWindowTextA(window->hwnd, text, sizeof text);
            return text;
        }
    }
    return "";
}

namespace {

constexpr UINT_PTR kScriptTimer = 1;
constexpr UINT kTickMs = 20;

// What the running script waits for, for the time-out's message.
std::string& WaitingFor() {
    static std::string what;
    return what;
}

} // namespace

ScriptRunner::Step Until(std::string what, std::function<bool()> condition) {
    return [what = std::move(what), condition = std::move(condition)]() {
        if (condition()) {
            WaitingFor().clear();
            return true;
        }
        WaitingFor() = what;
        return false;
    };
}

ScriptRunner::ScriptRunner(std::vector<Step> steps, std::chrono::milliseconds timeout)
    : steps_(std::move(steps)), deadline_(std::chrono::steady_clock::now() + timeout) {
    WaitingFor().clear();
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &ScriptRunner::WndProc;
        wc.lpszClassName = "SkinTestScript";
        return ::RegisterClassA(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    hWnd_ = ::CreateWindowExA(0, "SkinTestScript", "script", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              nullptr, nullptr);
    ::SetWindowLongPtrA(hWnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetTimer(hWnd_, kScriptTimer, kTickMs, nullptr);
}

ScriptRunner::~ScriptRunner() {
    ::DestroyWindow(hWnd_);
}

LRESULT CALLBACK ScriptRunner::WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kScriptTimer) {
        auto* runner = reinterpret_cast<ScriptRunner*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        if (runner) {
            runner->Tick();
        }
        return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

void ScriptRunner::Tick() {
    if (Finished() || timedOut_) {
        ::KillTimer(hWnd_, kScriptTimer);
        return;
    }
    if (std::chrono::steady_clock::now() > deadline_) {
        timedOut_ = true;
        ADD_FAILURE() << "the script stopped at step " << next_ + 1 << " of " << steps_.size()
                      << (WaitingFor().empty() ? "" : ", waiting for ") << WaitingFor();
        ::PostQuitMessage(99);
        return;
    }
    // A step may run a nested modal loop (DoModal); the ticks that arrive meanwhile go on
    // with the following steps, which can then end that loop.
    const std::size_t index = next_++;
    const bool done = steps_[index]();
    if (!done && next_ == index + 1) {
        next_ = index;
    }
}

} // namespace skintest
