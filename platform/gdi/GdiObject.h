// GDI objects behind HGDIOBJ and HDC values. One table holds every kind, so a handle of one
// kind is refused where another is expected instead of being misread.
#pragma once

#include "platform/internal/handle_table.h"
#include "platform/kernel32.h"
#include "platform/wintypes.h"

#include <memory>
#include <new>

namespace platform::gdi {

class GdiObject {
public:
    explicit GdiObject(DWORD type) : type_(type) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    DWORD Type() const { return type_; }
    bool IsStock() const { return stock_; }
    void MarkStock() { stock_ = true; }

private:
    DWORD type_;
    bool stock_ = false;
};

HandleTable<GdiObject>& Objects();

// Inserts the object and returns its handle, or nullptr (ERROR_NOT_ENOUGH_MEMORY) when full.
HGDIOBJ AddObject(std::shared_ptr<GdiObject> object);

std::shared_ptr<GdiObject> FindObject(HGDIOBJ h);
void SetInvalidHandle();

// The object behind `h` when it is of type T; nullptr (ERROR_INVALID_HANDLE) otherwise.
template <typename T> std::shared_ptr<T> Find(HGDIOBJ h) {
    auto object = std::dynamic_pointer_cast<T>(FindObject(h));
    if (!object) {
        SetInvalidHandle();
    }
    return object;
}

// Runs an API body; memory exhaustion becomes `failure` with ERROR_NOT_ENOUGH_MEMORY, since
// no exception may leave the platform.
template <typename R, typename F> R NoThrow(R failure, F&& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return failure;
    }
}

// Stock objects live for the whole process; DeleteObject leaves them alone.
HGDIOBJ StockObject(int index);
HBITMAP StockBitmap();

// COLORREF is 0x00BBGGRR; pixels are 0x00RRGGBB.
inline std::uint32_t PixelFromColor(COLORREF c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline COLORREF ColorFromPixel(std::uint32_t p) {
    return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

} // namespace platform::gdi
