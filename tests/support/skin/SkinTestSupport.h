// Helpers for the tests of skinned windows: a message pump that goes through
// PreTranslateMessage as the framework's loops do, pixels of bitmaps and of the headless
// screen, the skin library's pictures decoded as the windows decode them, and scripts that
// run step by step inside a modal loop.
#pragma once

#include "TestSupport.h"
#include "platform/mfc.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// Rectangles in failure messages as their four values.
inline void PrintTo(const CRect& rect, std::ostream* os) {
    *os << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom << ")";
}

namespace skintest {

using platform::display::Image;

// Handles every waiting message the framework's way (PreTranslateMessage first).
void PumpUi();
// Pumps for the given real time.
void PumpUiFor(int milliseconds);

// The pixels of `rect` of a bitmap, as 0x00RRGGBB; empty for an empty bitmap.
Image BitmapPixels(HBITMAP hBitmap, RECT rect);
Image WholeBitmap(HBITMAP hBitmap);
// A skin library picture ("1015"), decoded by the skin loader.
Image SkinPicture(const char* id);
// The mask "1021" as pixels.
Image SkinMask();
// The part of the headless screen inside `screenRect`.
Image ScreenPixels(const RECT& screenRect);
Image Crop(const Image& image, const RECT& rect);
// Whether the two images are equal, naming the first difference when they are not.
::testing::AssertionResult SameImage(const Image& actual, const Image& expected);

// The screen rectangle of a window's client rectangle part `clientRect`.
RECT ClientToScreenRect(HWND hWnd, RECT clientRect);
RECT WindowRectOf(HWND hWnd);
POINT CentreOf(const RECT& rect);
// The text of the tooltip on the screen, empty when none is shown.
std::string VisibleTooltipText();

// Runs steps, one per timer tick, from inside whatever message loop is running (a modal
// dialog's, typically). A step returns false to be run again at the next tick (to wait for
// something). When the whole script has not finished within the time-out the test fails and
// a quit message ends every modal loop, so a broken dialog cannot hang the test.
class ScriptRunner {
public:
    using Step = std::function<bool()>;

    explicit ScriptRunner(std::vector<Step> steps,
                          std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    bool Finished() const { return next_ >= steps_.size(); }
    bool TimedOut() const { return timedOut_; }

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Tick();

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    std::chrono::steady_clock::time_point deadline_;
    bool timedOut_ = false;
    HWND hWnd_ = nullptr;
};

// A step that does something and is done.
template <typename F> ScriptRunner::Step Do(F action) {
    return [action]() {
        action();
        return true;
    };
}

// A step that waits until the condition holds; a time-out names what it waited for.
ScriptRunner::Step Until(std::string what, std::function<bool()> condition);

} // namespace skintest
