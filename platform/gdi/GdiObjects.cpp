#include "Bitmap.h"
#include "DeviceContext.h"
#include "DrawingObjects.h"
#include "Font.h"
#include "Region.h"

#include <array>
#include <cstring>
#include <mutex>

namespace platform::gdi {

HandleTable<GdiObject>& Objects() {
    static HandleTable<GdiObject> table;
    return table;
}

HGDIOBJ AddObject(std::shared_ptr<GdiObject> object) {
    const std::uintptr_t value = Objects().Insert(std::move(object));
    if (value == 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return reinterpret_cast<HGDIOBJ>(value);
}

std::shared_ptr<GdiObject> FindObject(HGDIOBJ h) {
    return Objects().Get(reinterpret_cast<std::uintptr_t>(h));
}

void SetInvalidHandle() {
    SetLastError(ERROR_INVALID_HANDLE);
}

namespace {

constexpr int kStockCount = 18;

std::shared_ptr<GdiObject> MakeStockBrush(UINT style, COLORREF color) {
    return std::make_shared<Brush>(LOGBRUSH{style, color, 0});
}

std::shared_ptr<GdiObject> MakeStockPen(UINT style, COLORREF color) {
    return std::make_shared<Pen>(LOGPEN{style, POINT{1, 0}, color});
}

std::shared_ptr<GdiObject> MakeStockFont(const char* face, LONG height, LONG weight) {
    LOGFONTA log{};
    log.lfHeight = height;
    log.lfWeight = weight;
    std::strncpy(log.lfFaceName, face, LF_FACESIZE - 1);
    return Font::Create(log);
}

std::shared_ptr<GdiObject> MakeStock(int index) {
    switch (index) {
    case WHITE_BRUSH:
        return MakeStockBrush(BS_SOLID, RGB(255, 255, 255));
    case LTGRAY_BRUSH:
        return MakeStockBrush(BS_SOLID, RGB(192, 192, 192));
    case GRAY_BRUSH:
        return MakeStockBrush(BS_SOLID, RGB(128, 128, 128));
    case DKGRAY_BRUSH:
        return MakeStockBrush(BS_SOLID, RGB(64, 64, 64));
    case BLACK_BRUSH:
        return MakeStockBrush(BS_SOLID, RGB(0, 0, 0));
    case NULL_BRUSH:
        return MakeStockBrush(BS_NULL, 0);
    case WHITE_PEN:
        return MakeStockPen(PS_SOLID, RGB(255, 255, 255));
    case BLACK_PEN:
        return MakeStockPen(PS_SOLID, RGB(0, 0, 0));
    case NULL_PEN:
        return MakeStockPen(PS_NULL, 0);
    case ANSI_VAR_FONT:
        return MakeStockFont("MS Sans Serif", -11, FW_NORMAL);
    case SYSTEM_FONT:
        return MakeStockFont("System", 16, FW_BOLD);
    case DEFAULT_GUI_FONT:
        return MakeStockFont("MS Shell Dlg", -11, FW_NORMAL);
    default:
        return nullptr;
    }
}

HGDIOBJ Register(std::shared_ptr<GdiObject> object) {
    if (!object) {
        return nullptr;
    }
    object->MarkStock();
    return AddObject(std::move(object));
}

} // namespace

HGDIOBJ StockObject(int index) {
    if (index < 0 || index >= kStockCount) {
        return nullptr;
    }
    static std::array<std::once_flag, kStockCount> once;
    static std::array<HGDIOBJ, kStockCount> handles{};
    std::call_once(once[index], [index] {
        handles[index] = NoThrow<HGDIOBJ>(nullptr, [index] { return Register(MakeStock(index)); });
    });
    return handles[index];
}

HBITMAP StockBitmap() {
    static HBITMAP handle = static_cast<HBITMAP>(
        NoThrow<HGDIOBJ>(nullptr, [] { return Register(std::make_shared<Bitmap>(1, 1)); }));
    return handle;
}

} // namespace platform::gdi

using namespace platform::gdi;

HGDIOBJ WINAPI GetStockObject(int i) {
    return StockObject(i);
}

DWORD WINAPI GetObjectType(HGDIOBJ h) {
    auto object = FindObject(h);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return object->Type();
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    auto object = FindObject(ho);
    if (!object || object->Type() == OBJ_DC || object->Type() == OBJ_MEMDC) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (object->IsStock()) {
        return TRUE;
    }
    // Windows refuses to delete a bitmap that a DC still draws into.
    if (auto bitmap = std::dynamic_pointer_cast<Bitmap>(object); bitmap && bitmap->selectedInto) {
        return FALSE;
    }
    // A selected brush, pen or font stays usable by its DC until replaced; the DC holds it.
    Objects().Remove(reinterpret_cast<std::uintptr_t>(ho));
    return TRUE;
}

namespace {

template <typename T> int CopyOut(const T& value, int c, LPVOID pv) {
    if (!pv) {
        return sizeof(T);
    }
    if (c < static_cast<int>(sizeof(T))) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(pv, &value, sizeof(T));
    return sizeof(T);
}

int GetBitmapObject(Bitmap& bitmap, int c, LPVOID pv) {
    if (bitmap.IsDibSection() && (!pv || c >= static_cast<int>(sizeof(DIBSECTION)))) {
        DIBSECTION ds;
        bitmap.FillDibSection(ds);
        return CopyOut(ds, c, pv);
    }
    BITMAP bm;
    bitmap.FillBitmap(bm);
    return CopyOut(bm, c, pv);
}

} // namespace

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
    auto object = FindObject(h);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (auto bitmap = std::dynamic_pointer_cast<Bitmap>(object)) {
        return GetBitmapObject(*bitmap, c, pv);
    }
    if (auto brush = std::dynamic_pointer_cast<Brush>(object)) {
        return CopyOut(brush->Log(), c, pv);
    }
    if (auto pen = std::dynamic_pointer_cast<Pen>(object)) {
        return CopyOut(pen->Log(), c, pv);
    }
    if (auto font = std::dynamic_pointer_cast<Font>(object)) {
        return CopyOut(font->Log(), c, pv);
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}
