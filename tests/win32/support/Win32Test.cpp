#include "Win32Test.h"

#include <algorithm>

namespace win32test {

MessageLog& MessageLog::Get() {
    static MessageLog log;
    return log;
}

std::vector<UINT> MessageLog::Of(HWND hwnd, const std::vector<UINT>& only) const {
    std::vector<UINT> result;
    for (const Logged& e : entries_) {
        const bool wanted = only.empty() || std::ranges::find(only, e.message) != only.end();
        if (e.hwnd == hwnd && wanted) {
            result.push_back(e.message);
        }
    }
    return result;
}

std::vector<UINT> MessageLog::All(const std::vector<UINT>& only) const {
    std::vector<UINT> result;
    for (const Logged& e : entries_) {
        if (std::ranges::find(only, e.message) != only.end()) {
            result.push_back(e.message);
        }
    }
    return result;
}

namespace {

LRESULT CALLBACK LogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    MessageLog& log = MessageLog::Get();
    if (msg != WM_NCHITTEST && msg != WM_SETCURSOR) {
        log.Add(Logged{hwnd, msg, wParam, lParam});
    }
    LRESULT result = 0;
    if (log.hook && log.hook(hwnd, msg, wParam, lParam, result)) {
        return result;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

void WindowDestroyer::operator()(HWND hwnd) const {
    if (IsWindow(hwnd)) {
        DestroyWindow(hwnd);
    }
}

LPCSTR LogClass() {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &LogProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "Win32TestLog";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        return RegisterClassA(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    return "Win32TestLog";
}

HWND CreateLogWindow(DWORD style, int x, int y, int width, int height, HWND parent, int id,
                     DWORD exStyle) {
    return CreateWindowExA(exStyle, LogClass(), "log", style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
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

void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        Pump();
        Sleep(1);
    }
}

void WindowTest::SetUp() {
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
}

} // namespace win32test
