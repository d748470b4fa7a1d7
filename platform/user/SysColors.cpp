#include "SysColors.h"

#include "platform/gdi32.h"
#include "platform/kernel32.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <mutex>

namespace platform::user {

namespace {

constexpr int kColourCount = 31;

// The Windows Standard (classic) scheme.
constexpr std::array<COLORREF, kColourCount> kColours = {
    RGB(192, 192, 192), // COLOR_SCROLLBAR
    RGB(58, 110, 165),  // COLOR_BACKGROUND
    RGB(0, 0, 128),     // COLOR_ACTIVECAPTION
    RGB(128, 128, 128), // COLOR_INACTIVECAPTION
    RGB(192, 192, 192), // COLOR_MENU
    RGB(255, 255, 255), // COLOR_WINDOW
    RGB(0, 0, 0),       // COLOR_WINDOWFRAME
    RGB(0, 0, 0),       // COLOR_MENUTEXT
    RGB(0, 0, 0),       // COLOR_WINDOWTEXT
    RGB(255, 255, 255), // COLOR_CAPTIONTEXT
    RGB(192, 192, 192), // COLOR_ACTIVEBORDER
    RGB(192, 192, 192), // COLOR_INACTIVEBORDER
    RGB(128, 128, 128), // COLOR_APPWORKSPACE
    RGB(0, 0, 128),     // COLOR_HIGHLIGHT
    RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
    RGB(192, 192, 192), // COLOR_BTNFACE
    RGB(128, 128, 128), // COLOR_BTNSHADOW
    RGB(128, 128, 128), // COLOR_GRAYTEXT
    RGB(0, 0, 0),       // COLOR_BTNTEXT
    RGB(192, 192, 192), // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
    RGB(0, 0, 0),       // COLOR_3DDKSHADOW
    RGB(223, 223, 223), // COLOR_3DLIGHT
    RGB(0, 0, 0),       // COLOR_INFOTEXT
    RGB(255, 255, 225), // COLOR_INFOBK
    RGB(180, 180, 180), // 25, unused
    RGB(0, 0, 255),     // COLOR_HOTLIGHT
    RGB(16, 132, 208),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192), // COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 0, 128),     // COLOR_MENUHILIGHT
    RGB(192, 192, 192), // COLOR_MENUBAR
};

std::mutex& BrushMutex() {
    static std::mutex mutex;
    return mutex;
}

} // namespace

std::uint32_t PixelOf(COLORREF colour) {
    return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}

void FillPixels(gdi::Surface& surface, const RECT& rect, COLORREF colour) {
    const int left = std::max<int>(rect.left, 0);
    const int top = std::max<int>(rect.top, 0);
    const int right = std::min<int>(rect.right, surface.width);
    const int bottom = std::min<int>(rect.bottom, surface.height);
    if (left >= right || top >= bottom) {
        return; // also a surface of no width, whose rows hold no pixel to point at
    }
    // A blank surface is composed as zeros without being read: these pixels must count.
    surface.blank = false;
    const std::uint32_t pixel = PixelOf(colour);
    for (int y = top; y < bottom; ++y) {
        auto* row = &surface.pixels[static_cast<std::size_t>(y) * surface.width];
        std::fill(row + left, row + right, pixel);
    }
}

HBRUSH ResolveBrush(HBRUSH brush) {
    const auto value = reinterpret_cast<INT_PTR>(brush);
    if (value > 0 && value <= kColourCount) {
        return GetSysColorBrush(static_cast<int>(value - 1));
    }
    return brush;
}

HFONT PlatformFont(bool bold) {
    static HFONT regular = nullptr;
    static HFONT heavy = nullptr;
    std::lock_guard lock(BrushMutex());
    HFONT& font = bold ? heavy : regular;
    if (!font) {
        LOGFONTA lf{};
        lf.lfHeight = -11; // 8 points at 96 dpi
        lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        lf.lfQuality = ANTIALIASED_QUALITY;
        std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", "MS Sans Serif");
        font = CreateFontIndirectA(&lf);
    }
    return font;
}

} // namespace platform::user

using namespace platform::user;

DWORD WINAPI GetSysColor(int nIndex) {
    return (nIndex >= 0 && nIndex < kColourCount) ? kColours[static_cast<std::size_t>(nIndex)] : 0;
}

HBRUSH WINAPI GetSysColorBrush(int nIndex) {
    static std::array<HBRUSH, kColourCount> brushes{};
    if (nIndex < 0 || nIndex >= kColourCount) {
        return nullptr;
    }
    std::lock_guard lock(BrushMutex());
    HBRUSH& brush = brushes[static_cast<std::size_t>(nIndex)];
    if (!brush) {
        brush = CreateSolidBrush(kColours[static_cast<std::size_t>(nIndex)]);
    }
    return brush;
}
