#include "DeviceContext.h"

#include <cstdlib>

using namespace platform::gdi;

namespace {

void Plot(const RECT& clip, const PixelView& view, int x, int y, std::uint32_t pixel) {
    if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom) {
        view.Row(y)[x] = pixel;
    }
}

void FillDevice(DeviceContext& dc, RECT r, std::uint32_t pixel) {
    if (!IntersectRects(r, dc.DeviceClip())) {
        return;
    }
    const PixelView view = dc.View();
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint32_t* row = view.Row(y);
        for (int x = r.left; x < r.right; ++x) {
            row[x] = pixel;
        }
    }
}

// A one-pixel outline just inside `r`.
void FrameDevice(DeviceContext& dc, const RECT& r, std::uint32_t pixel) {
    FillDevice(dc, RECT{r.left, r.top, r.right, r.top + 1}, pixel);
    FillDevice(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, pixel);
    FillDevice(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, pixel);
    FillDevice(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, pixel);
}

RECT ToDevice(const DeviceContext& dc, const RECT& r) {
    const POINT o = dc.Origin();
    return RECT{r.left + o.x, r.top + o.y, r.right + o.x, r.bottom + o.y};
}

// Bresenham from (x0, y0) towards (x1, y1), leaving out the end point as Windows does.
void Line(DeviceContext& dc, POINT from, POINT to, std::uint32_t pixel) {
    const PixelView view = dc.View();
    const RECT clip = dc.DeviceClip();
    const POINT o = dc.Origin();
    int x = from.x + o.x, y = from.y + o.y;
    const int x1 = to.x + o.x, y1 = to.y + o.y;
    const int dx = std::abs(x1 - x), sx = x < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y), sy = y < y1 ? 1 : -1;
    int err = dx + dy;
    while (x != x1 || y != y1) {
        Plot(clip, view, x, y, pixel);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

} // namespace

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    return NoThrow<HBRUSH>(nullptr, [&] {
        return static_cast<HBRUSH>(
            AddObject(std::make_shared<Brush>(LOGBRUSH{BS_SOLID, color & 0x00FFFFFFu, 0})));
    });
}

HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color) {
    if (iStyle != PS_SOLID && iStyle != PS_NULL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return NoThrow<HPEN>(nullptr, [&] {
        const LOGPEN log{static_cast<UINT>(iStyle), POINT{cWidth < 1 ? 1 : cWidth, 0},
                         color & 0x00FFFFFFu};
        return static_cast<HPEN>(AddObject(std::make_shared<Pen>(log)));
    });
}

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    auto dc = FindDC(hDC);
    auto brush = Find<Brush>(hbr);
    if (!dc || !brush || !lprc) {
        return 0;
    }
    if (!brush->IsHollow()) {
        FillDevice(*dc, ToDevice(*dc, *lprc), PixelFromColor(brush->Log().lbColor));
    }
    return 1;
}

int WINAPI FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    auto dc = FindDC(hDC);
    auto brush = Find<Brush>(hbr);
    if (!dc || !brush || !lprc) {
        return 0;
    }
    const RECT r = ToDevice(*dc, *lprc);
    if (brush->IsHollow() || r.left >= r.right || r.top >= r.bottom) {
        return 1;
    }
    FrameDevice(*dc, r, PixelFromColor(brush->Log().lbColor));
    return 1;
}

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = FindDC(hdc);
    if (!dc) {
        return FALSE;
    }
    const RECT r = ToDevice(*dc, RECT{left, top, right, bottom});
    if (auto brush = dc->GetBrush(); brush && !brush->IsHollow()) {
        FillDevice(*dc, r, PixelFromColor(brush->Log().lbColor));
    }
    if (auto pen = dc->GetPen(); pen && !pen->IsNull() && r.left < r.right && r.top < r.bottom) {
        FrameDevice(*dc, r, PixelFromColor(pen->Log().lopnColor));
    }
    return TRUE;
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
    auto dc = FindDC(hdc);
    if (!dc) {
        return CLR_INVALID;
    }
    const POINT o = dc->Origin();
    const RECT clip = dc->DeviceClip();
    x += o.x;
    y += o.y;
    if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom) {
        return CLR_INVALID;
    }
    dc->View().Row(y)[x] = PixelFromColor(color);
    return color & 0x00FFFFFFu;
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
    auto dc = FindDC(hdc);
    if (!dc) {
        return CLR_INVALID;
    }
    const POINT o = dc->Origin();
    const RECT clip = dc->DeviceClip();
    x += o.x;
    y += o.y;
    if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom) {
        return CLR_INVALID;
    }
    return ColorFromPixel(dc->ReadView().Row(y)[x]);
}

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
    auto dc = FindDC(hdc);
    if (!dc) {
        return FALSE;
    }
    if (lppt) {
        *lppt = dc->penPos;
    }
    dc->penPos = POINT{x, y};
    return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
    auto dc = FindDC(hdc);
    if (!dc) {
        return FALSE;
    }
    if (auto pen = dc->GetPen(); pen && !pen->IsNull()) {
        Line(*dc, dc->penPos, POINT{x, y}, PixelFromColor(pen->Log().lopnColor));
    }
    dc->penPos = POINT{x, y};
    return TRUE;
}
