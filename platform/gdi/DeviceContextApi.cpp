#include "DeviceContext.h"
#include "Font.h"

#include <utility>

namespace platform::gdi {

namespace {

HDC AddDC(const std::shared_ptr<DeviceContext>& dc) {
    HDC h = static_cast<HDC>(AddObject(dc));
    if (h) {
        dc->SetSelf(h);
    }
    return h;
}

// The font, brush and pen a DC draws with after SelectObject, by type.
HGDIOBJ SelectDrawingObject(DeviceContext& dc, HGDIOBJ h,
                            const std::shared_ptr<GdiObject>& object) {
    switch (object->Type()) {
    case OBJ_BITMAP:
        return dc.SelectBitmap(static_cast<HBITMAP>(h), std::static_pointer_cast<Bitmap>(object));
    case OBJ_BRUSH:
        return dc.SelectBrush(h, std::static_pointer_cast<Brush>(object));
    case OBJ_PEN:
        return dc.SelectPen(h, std::static_pointer_cast<Pen>(object));
    case OBJ_FONT:
        return dc.SelectFont(h, std::static_pointer_cast<Font>(object));
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

} // namespace

HDC CreateSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, RECT clip) {
    return NoThrow<HDC>(nullptr, [&] {
        auto dc = std::make_shared<DeviceContext>(DeviceContext::Kind::Surface);
        dc->AttachSurface(std::move(surface), origin, clip);
        return AddDC(dc);
    });
}

} // namespace platform::gdi

using namespace platform::gdi;

HDC WINAPI CreateCompatibleDC(HDC hdc) {
    if (hdc && !FindDC(hdc)) {
        return nullptr;
    }
    return NoThrow<HDC>(nullptr, [] {
        return AddDC(std::make_shared<DeviceContext>(DeviceContext::Kind::Memory));
    });
}

BOOL WINAPI DeleteDC(HDC hdc) {
    if (!FindDC(hdc)) {
        return FALSE;
    }
    // Removing the last reference runs the DC's destructor, which frees its bitmap's selection.
    Objects().Remove(reinterpret_cast<std::uintptr_t>(hdc));
    return TRUE;
}

BOOL WINAPI GdiFlush() {
    return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    auto dc = FindDC(hdc);
    auto object = FindObject(h);
    if (!dc || !object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return SelectDrawingObject(*dc, h, object);
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
    auto dc = FindDC(hdc);
    if (!dc) {
        return nullptr;
    }
    switch (type) {
    case OBJ_BITMAP:
        return dc->CurrentBitmap();
    case OBJ_BRUSH:
        return dc->CurrentBrush();
    case OBJ_PEN:
        return dc->CurrentPen();
    case OBJ_FONT:
        return dc->CurrentFont();
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

int WINAPI GetDeviceCaps(HDC hdc, int index) {
    auto dc = FindDC(hdc);
    if (!dc) {
        return 0;
    }
    switch (index) {
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case HORZRES:
        return dc->ReadView().width;
    case VERTRES:
        return dc->ReadView().height;
    default:
        return 0;
    }
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
    auto dc = FindDC(hdc);
    return dc ? std::exchange(dc->textColor, color) : CLR_INVALID;
}

COLORREF WINAPI GetTextColor(HDC hdc) {
    auto dc = FindDC(hdc);
    return dc ? dc->textColor : CLR_INVALID;
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
    auto dc = FindDC(hdc);
    return dc ? std::exchange(dc->bkColor, color) : CLR_INVALID;
}

COLORREF WINAPI GetBkColor(HDC hdc) {
    auto dc = FindDC(hdc);
    return dc ? dc->bkColor : CLR_INVALID;
}

int WINAPI SetBkMode(HDC hdc, int mode) {
    auto dc = FindDC(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return std::exchange(dc->bkMode, mode);
}

int WINAPI GetBkMode(HDC hdc) {
    auto dc = FindDC(hdc);
    return dc ? dc->bkMode : 0;
}
