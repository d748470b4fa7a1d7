#include "SkinnedWindowChecks.h"

#include <sstream>

namespace skintest {

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;

bool Inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

} // namespace

::testing::AssertionResult HasSkinGeometry(HWND hWnd, const Image& picture) {
    const RECT window = WindowRectOf(hWnd);
    RECT client{};
    ::GetClientRect(hWnd, &client);
    POINT origin{0, 0};
    ::ClientToScreen(hWnd, &origin);
    std::ostringstream problem;
    if (window.right - window.left != picture.width ||
        window.bottom - window.top != picture.height) {
        problem << "window " << window.right - window.left << " x " << window.bottom - window.top;
    } else if (client.right != picture.width - 2 || client.bottom != picture.height - 2) {
        problem << "client " << client.right << " x " << client.bottom;
    } else if (origin.x != window.left + 1 || origin.y != window.top + 1) {
        problem << "client origin at window " << origin.x - window.left << ", "
                << origin.y - window.top;
    } else {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << problem.str() << "; picture " << picture.width << " x " << picture.height;
}

::testing::AssertionResult HasMaskShape(HWND hWnd, const Image& mask) {
    const HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    if (::GetWindowRgn(hWnd, region) == ERROR) {
        ::DeleteObject(region);
        return ::testing::AssertionFailure() << "the window has no region";
    }
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            const bool expected = mask.At(x, y) != kWhite;
            if ((::PtInRegion(region, x, y) != FALSE) != expected) {
                ::DeleteObject(region);
                return ::testing::AssertionFailure()
                       << "window pixel (" << x << ", " << y << ") should be "
                       << (expected ? "inside" : "outside");
            }
        }
    }
    ::DeleteObject(region);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ShowsPicture(HWND hWnd, const Image& picture, const Image& mask,
                                        RECT except) {
    const RECT window = WindowRectOf(hWnd);
    const Image shown = ScreenPixels(window);
    int compared = 0;
    for (int y = 0; y < mask.height && y < shown.height; ++y) {
        for (int x = 0; x < mask.width && x < shown.width; ++x) {
            const int cx = x - 1;
            const int cy = y - 1;
            if (mask.At(x, y) == kWhite || Inside(except, cx, cy) || cx < 0 || cy < 0) {
                continue;
            }
            ++compared;
            if (shown.At(x, y) != picture.At(cx, cy)) {
                std::ostringstream text;
                text << "client (" << cx << ", " << cy << ") shows 0x" << std::hex << shown.At(x, y)
                     << ", the picture has 0x" << picture.At(cx, cy);
                return ::testing::AssertionFailure() << text.str();
            }
        }
    }
    if (compared == 0) {
        return ::testing::AssertionFailure() << "no pixel compared";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ShowsCut(HWND hWnd, RECT clientRect, const Image& picture) {
    return SameImage(ScreenPixels(ClientToScreenRect(hWnd, clientRect)), Crop(picture, clientRect));
}

} // namespace skintest
