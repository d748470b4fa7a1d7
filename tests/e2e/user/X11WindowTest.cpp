#include "X11WindowTest.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace usere2e {

namespace {

using nerith::testing::XvfbServer;

std::unique_ptr<XvfbServer>& Server() {
    static std::unique_ptr<XvfbServer> server;
    return server;
}

std::string& DisplayNameSlot() {
    static std::string name;
    return name;
}

std::string& ErrorSlot() {
    static std::string error;
    return error;
}

constexpr char kProbeClass[] = "X11Probe";

std::vector<Click>& ProbeClicks() {
    static std::vector<Click> clicks;
    return clicks;
}

std::vector<KeyPress>& ProbeKeys() {
    static std::vector<KeyPress> keys;
    return keys;
}

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND: {
        const HBRUSH brush =
            CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)));
        RECT client{};
        GetClientRect(hwnd, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        DeleteObject(brush);
        return 1;
    }
    case WM_KEYDOWN:
        ProbeKeys().push_back(KeyPress{hwnd, static_cast<UINT>(wParam)});
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        ProbeClicks().push_back(
            Click{hwnd, msg, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}});
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

bool RegisterProbe() {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &ProbeProc;
        wc.lpszClassName = kProbeClass;
        return RegisterClassA(&wc) != 0;
    }();
    return registered;
}

} // namespace

void XvfbEnvironment::SetUp() {
    if (!XvfbServer::Available()) {
        return;
    }
    Server() = XvfbServer::Start({}, &ErrorSlot());
    if (!Server()) {
        return;
    }
    DisplayNameSlot() = Server()->DisplayName();
    // Before the first window: that is when the process opens its display.
    setenv("DISPLAY", DisplayNameSlot().c_str(), 1);
    setenv("NERITH_DISPLAY", "x11", 1);
}

void XvfbEnvironment::TearDown() {
    Server().reset();
}

const std::string& XvfbEnvironment::DisplayName() {
    return DisplayNameSlot();
}

const std::string& XvfbEnvironment::Error() {
    return ErrorSlot();
}

void X11WindowTest::SetUp() {
    if (XvfbEnvironment::DisplayName().empty()) {
        if (XvfbEnvironment::Error().empty()) {
            GTEST_SKIP() << "Xvfb is not installed (scripts/bootstrap installs the xvfb package)";
        }
        FAIL() << XvfbEnvironment::Error();
    }
    x_ = nerith::testing::XSession::Open(XvfbEnvironment::DisplayName());
    ASSERT_TRUE(x_) << "cannot connect to " << XvfbEnvironment::DisplayName();
    input_ = std::make_unique<nerith::testing::XTestDriver>(*x_);
    ASSERT_TRUE(input_->Available()) << "the X server has no XTEST extension";
    ASSERT_TRUE(RegisterProbe());
    Clicks().clear();
    Keys().clear();
}

void X11WindowTest::TearDown() {
    input_.reset();
    x_.reset();
}

bool X11WindowTest::PumpUntil(const std::function<bool()>& done, int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        MSG msg{};
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
}

void X11WindowTest::PumpFor(int ms) {
    PumpUntil([] { return false; }, ms);
}

nerith::testing::XId X11WindowTest::XWindowOf(HWND hwnd) {
    char title[256] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    return nerith::testing::FindWindowByName(*x_, title).value_or(0);
}

bool X11WindowTest::Viewable(HWND hwnd) {
    const nerith::testing::XId id = XWindowOf(hwnd);
    return id != 0 && x_->IsMapped(id);
}

nerith::testing::Image X11WindowTest::Capture(const RECT& screenRect) {
    return nerith::testing::CaptureScreen(*x_, screenRect);
}

COLORREF X11WindowTest::PixelAt(POINT screen) {
    const nerith::testing::Image one =
        Capture(RECT{screen.x, screen.y, screen.x + 1, screen.y + 1});
    if (one.Empty()) {
        return CLR_INVALID;
    }
    const std::uint32_t p = one.At(0, 0);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

HWND X11WindowTest::CreateProbe(const char* title, DWORD style, const RECT& rect, COLORREF colour,
                                HWND owner) {
    const HWND hwnd = CreateWindowExA(0, kProbeClass, title, style & ~WS_VISIBLE, rect.left,
                                      rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                      owner, nullptr, nullptr, nullptr);
    if (!hwnd) {
        return nullptr;
    }
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
    if (style & WS_VISIBLE) {
        ShowWindow(hwnd, SW_SHOW);
    }
    return hwnd;
}

std::vector<Click>& X11WindowTest::Clicks() const {
    return ProbeClicks();
}

std::size_t X11WindowTest::ClicksOn(HWND hwnd, UINT message) const {
    std::size_t n = 0;
    for (const Click& c : Clicks()) {
        n += c.hwnd == hwnd && c.message == message ? 1 : 0;
    }
    return n;
}

std::vector<KeyPress>& X11WindowTest::Keys() const {
    return ProbeKeys();
}

std::size_t X11WindowTest::KeysOn(HWND hwnd, UINT vk) const {
    std::size_t n = 0;
    for (const KeyPress& k : Keys()) {
        n += k.hwnd == hwnd && k.vk == vk ? 1 : 0;
    }
    return n;
}

std::uint32_t ToRgb(COLORREF colour) {
    return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}

BEGIN_MESSAGE_MAP(OnceShownDialog, CDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

BOOL OnceShownDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetTimer(1, 20);
    return TRUE;
}

void OnceShownDialog::OnTimer(UINT_PTR) {
    if (ran_ || !IsWindowVisible()) {
        return;
    }
    ran_ = true;
    KillTimer(1);
    if (script) {
        script(*this);
    }
}

} // namespace usere2e
