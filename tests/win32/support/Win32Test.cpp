#include "Win32Test.h"

#include "platform/gdi32.h"

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

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= milliseconds) {
            return false;
        }
        Pump();
        Sleep(1);
    }
    return true;
}

LONG Normalised(int pixel, int extent) {
    return static_cast<LONG>(((2LL * pixel + 1) * 65536) / (2LL * extent));
}

namespace {

bool Send(INPUT input) {
    return SendInput(1, &input, sizeof(INPUT)) == 1;
}

bool SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    return Send(input);
}

bool SendKey(WORD vk, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = flags;
    return Send(input);
}

} // namespace

bool MoveTo(POINT screen) {
    return SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
                     Normalised(screen.x, GetSystemMetrics(SM_CXSCREEN)),
                     Normalised(screen.y, GetSystemMetrics(SM_CYSCREEN)));
}

bool ButtonDown() {
    return SendMouse(MOUSEEVENTF_LEFTDOWN);
}

bool ButtonUp() {
    return SendMouse(MOUSEEVENTF_LEFTUP);
}

bool Click(POINT screen) {
    return MoveTo(screen) && ButtonDown() && ButtonUp();
}

bool KeyDown(WORD vk) {
    return SendKey(vk, 0);
}

bool KeyUp(WORD vk) {
    return SendKey(vk, KEYEVENTF_KEYUP);
}

bool Press(WORD vk, const std::vector<WORD>& modifiers) {
    bool sent = true;
    for (const WORD m : modifiers) {
        sent = KeyDown(m) && sent;
    }
    sent = KeyDown(vk) && KeyUp(vk) && sent;
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) {
        sent = KeyUp(*it) && sent;
    }
    return sent;
}

POINT ScreenPoint(HWND hwnd, int clientX, int clientY) {
    POINT p{clientX, clientY};
    ClientToScreen(hwnd, &p);
    return p;
}

COLORREF ClientPixel(HWND hwnd, int x, int y) {
    const HDC dc = GetDC(hwnd);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return colour;
}

COLORREF FramePixel(HWND hwnd, int x, int y) {
    const HDC dc = GetWindowDC(hwnd);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return colour;
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
