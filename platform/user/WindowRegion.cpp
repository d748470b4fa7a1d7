#include "Painting.h"
#include "Window.h"
#include "platform/gdi32.h"
#include "platform/kernel32.h"

#include <vector>

namespace platform::user {

namespace {

std::vector<RECT> RegionRects(HRGN region) {
    const DWORD size = GetRegionData(region, 0, nullptr);
    if (size < sizeof(RGNDATAHEADER)) {
        return {};
    }
    std::vector<std::uint64_t> storage((size + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
    auto* data = reinterpret_cast<RGNDATA*>(storage.data());
    if (GetRegionData(region, size, data) == 0) {
        return {};
    }
    const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
    const DWORD count =
        std::min<DWORD>(data->rdh.nCount, (size - sizeof(RGNDATAHEADER)) / sizeof(RECT));
    return std::vector<RECT>(rects, rects + count);
}

} // namespace

} // namespace platform::user

using namespace platform::user;

int WINAPI SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw) {
    const WindowPtr window = GetChangeableWindow(hWnd);
    if (!window) {
        return 0;
    }
    if (hRgn && GetObjectType(hRgn) != OBJ_REGION) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // The window owns the region from here on: the one it replaces is deleted now.
    if (window->region && window->region != hRgn) {
        DeleteObject(window->region);
    }
    window->region = hRgn;
    if (window->native) {
        platform::display::CurrentBackend()->SetShape(
            window->native, hRgn ? RegionRects(hRgn) : std::vector<RECT>{}, hRgn != nullptr);
    }
    if (bRedraw) {
        InvalidateWhole(*window, true);
    }
    return 1;
}

int WINAPI GetWindowRgn(HWND hWnd, HRGN hRgn) {
    const WindowPtr window = GetWindowObject(hWnd);
    if (!window || !window->region || !hRgn) {
        return ERROR;
    }
    return CombineRgn(hRgn, window->region, nullptr, RGN_COPY);
}
