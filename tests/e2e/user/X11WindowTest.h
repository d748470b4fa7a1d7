// The window system's tests on the X11 display. A process picks its display once, with its
// first window, so the private Xvfb belongs to the whole test process (XvfbEnvironment); each
// test gets its own X session and XTest driver, and simple probe windows that paint one colour
// and note the clicks they get.
#pragma once

#include "platform/mfc.h"
#include "x11/X11TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace usere2e {

class XvfbEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
    // Empty when no Xvfb is installed; Error() tells why a start failed.
    static const std::string& DisplayName();
    static const std::string& Error();
};

struct Click {
    HWND hwnd;
    UINT message;
    POINT client;
};

struct KeyPress {
    HWND hwnd;
    UINT vk;
};

class X11WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Handles this thread's messages until `done` holds; false once `ms` have passed.
    bool PumpUntil(const std::function<bool()>& done, int ms = 3000);
    void PumpFor(int ms);
    // The X window that shows a top-level window, found by its (unique) title; 0 if none.
    nerith::testing::XId XWindowOf(HWND hwnd);
    bool Viewable(HWND hwnd);
    nerith::testing::Image Capture(const RECT& screenRect);
    COLORREF PixelAt(POINT screen);

    // A top-level window of the probe class, filled with `colour`.
    HWND CreateProbe(const char* title, DWORD style, const RECT& rect, COLORREF colour,
                     HWND owner = nullptr);
    // The button presses and releases the probe windows received, in order.
    std::vector<Click>& Clicks() const;
    std::size_t ClicksOn(HWND hwnd, UINT message) const;
    // The key-downs they received.
    std::vector<KeyPress>& Keys() const;
    std::size_t KeysOn(HWND hwnd, UINT vk) const;

    std::unique_ptr<nerith::testing::XSession> x_;
    std::unique_ptr<nerith::testing::XTestDriver> input_;
};

// 0x00RRGGBB, as X screenshots give pixels.
std::uint32_t ToRgb(COLORREF colour);

// A dialog that runs `script` once, when it is on the screen, from inside its modal loop.
class OnceShownDialog : public CDialog {
    DECLARE_MESSAGE_MAP()

public:
    explicit OnceShownDialog(UINT id, CWnd* parent = nullptr) : CDialog(id, parent) {}
    std::function<void(OnceShownDialog&)> script;

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnTimer(UINT_PTR nIDEvent);

private:
    bool ran_ = false;
};

} // namespace usere2e
