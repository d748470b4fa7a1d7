#include "DeviceContext.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace platform::gdi;

namespace {

struct Block {
    PixelView view;
    RECT rect; // device coordinates
};

// A copy of the source block when source and destination share their pixels, so that an
// overlapping copy reads the pixels as they were before it started.
PixelView Detach(const PixelView& src, const PixelView& dst, std::vector<std::uint32_t>& storage) {
    if (src.row0 != dst.row0) {
        return src;
    }
    storage.resize(static_cast<std::size_t>(src.width) * src.height);
    for (int y = 0; y < src.height; ++y) {
        std::memcpy(&storage[static_cast<std::size_t>(y) * src.width], src.Row(y),
                    static_cast<std::size_t>(src.width) * 4);
    }
    return PixelView{storage.data(), src.width, src.width, src.height};
}

BOOL Fill(DeviceContext& dc, RECT r, std::uint32_t pixel) {
    if (!IntersectRects(r, dc.DeviceClip())) {
        return TRUE;
    }
    const PixelView view = dc.View();
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint32_t* row = view.Row(y);
        std::fill(row + r.left, row + r.right, pixel);
    }
    return TRUE;
}

RECT DeviceRect(const DeviceContext& dc, int x, int y, int cx, int cy) {
    const POINT o = dc.Origin();
    return RECT{x + o.x, y + o.y, x + o.x + cx, y + o.y + cy};
}

BOOL Copy(DeviceContext& dst, RECT d, DeviceContext& src, int sx, int sy) {
    const POINT so = src.Origin();
    sx += so.x;
    sy += so.y;
    const int shiftX = d.left - sx;
    const int shiftY = d.top - sy;
    const PixelView srcView = src.ReadView();
    RECT srcInDst = srcView.Bounds();
    srcInDst = RECT{srcInDst.left + shiftX, srcInDst.top + shiftY, srcInDst.right + shiftX,
                    srcInDst.bottom + shiftY};
    if (!IntersectRects(d, dst.DeviceClip()) || !IntersectRects(d, srcInDst)) {
        return TRUE;
    }
    const PixelView dstView = dst.View();
    std::vector<std::uint32_t> storage;
    const PixelView from = Detach(srcView, dstView, storage);
    const std::size_t bytes = static_cast<std::size_t>(d.right - d.left) * 4;
    for (int y = d.top; y < d.bottom; ++y) {
        std::memcpy(dstView.Row(y) + d.left, from.Row(y - shiftY) + (d.left - shiftX), bytes);
    }
    return TRUE;
}

BOOL Stretch(DeviceContext& dst, RECT d, DeviceContext& src, RECT s) {
    const std::int64_t wd = d.right - d.left, hd = d.bottom - d.top;
    const std::int64_t ws = s.right - s.left, hs = s.bottom - s.top;
    const RECT full = d;
    if (!IntersectRects(d, dst.DeviceClip())) {
        return TRUE;
    }
    const PixelView dstView = dst.View();
    std::vector<std::uint32_t> storage;
    const PixelView from = Detach(src.ReadView(), dstView, storage);
    for (int y = d.top; y < d.bottom; ++y) {
        const std::int64_t syy = s.top + ((y - full.top) * 2 + 1) * hs / (2 * hd);
        if (syy < 0 || syy >= from.height) {
            continue;
        }
        const std::uint32_t* srcRow = from.Row(static_cast<int>(syy));
        std::uint32_t* dstRow = dstView.Row(y);
        for (int x = d.left; x < d.right; ++x) {
            const std::int64_t sxx = s.left + ((x - full.left) * 2 + 1) * ws / (2 * wd);
            if (sxx >= 0 && sxx < from.width) {
                dstRow[x] = srcRow[sxx];
            }
        }
    }
    return TRUE;
}

// Raster operations that need no source.
bool FillForRop(DWORD rop, std::uint32_t& pixel) {
    if (rop == BLACKNESS) {
        pixel = 0;
        return true;
    }
    if (rop == WHITENESS) {
        pixel = 0x00FFFFFF;
        return true;
    }
    return false;
}

} // namespace

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    auto dst = FindDC(hdc);
    if (!dst) {
        return FALSE;
    }
    std::uint32_t pixel = 0;
    if (FillForRop(rop, pixel)) {
        return cx > 0 && cy > 0 ? Fill(*dst, DeviceRect(*dst, x, y, cx, cy), pixel) : TRUE;
    }
    if (rop != SRCCOPY) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto src = FindDC(hdcSrc);
    if (!src) {
        return FALSE;
    }
    if (cx <= 0 || cy <= 0) {
        return TRUE;
    }
    return NoThrow<BOOL>(FALSE,
                         [&] { return Copy(*dst, DeviceRect(*dst, x, y, cx, cy), *src, x1, y1); });
}

BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc,
                       int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop) {
    if (wDest == wSrc && hDest == hSrc) {
        return BitBlt(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, rop);
    }
    auto dst = FindDC(hdcDest);
    auto src = FindDC(hdcSrc);
    if (!dst || !src) {
        return FALSE;
    }
    if (rop != SRCCOPY || wDest < 0 || hDest < 0 || wSrc < 0 || hSrc < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (wDest == 0 || hDest == 0 || wSrc == 0 || hSrc == 0) {
        return TRUE;
    }
    return NoThrow<BOOL>(FALSE, [&] {
        return Stretch(*dst, DeviceRect(*dst, xDest, yDest, wDest, hDest), *src,
                       DeviceRect(*src, xSrc, ySrc, wSrc, hSrc));
    });
}
