#include "Bitmap.h"
#include "DeviceContext.h"
#include "platform/internal/dib.h"
#include "platform/internal/picture_sharing.h"

#include <sys/mman.h>

#include <cstring>

using namespace platform::gdi;

namespace {

HBITMAP AddBitmap(std::shared_ptr<Bitmap> bitmap) {
    return static_cast<HBITMAP>(AddObject(std::move(bitmap)));
}

// Only 32-bit BI_RGB sections are made; every bitmap here is 32-bit.
bool AcceptableDibHeader(const BITMAPINFO* pbmi, UINT usage) {
    if (!pbmi || usage != DIB_RGB_COLORS) {
        return false;
    }
    const BITMAPINFOHEADER& h = pbmi->bmiHeader;
    return h.biSize >= sizeof(BITMAPINFOHEADER) && h.biPlanes == 1 && h.biBitCount == 32 &&
           h.biCompression == BI_RGB && h.biHeight != 0 && h.biHeight != INT32_MIN;
}

// The decoder writes every row at once: its pages are made in one call rather than one fault
// at a time. Kernels without the call make them as they are written.
void MakePagesNow(void* pixels, std::size_t bytes) {
    if (bytes >= kPixelPagesFrom) {
        ::madvise(pixels, bytes, MADV_POPULATE_WRITE);
    }
}

} // namespace

namespace platform::gdi {

HBITMAP CreateBitmapForRows(int width, int height, std::uint32_t** rows) noexcept {
    *rows = nullptr;
    if (!AcceptableSize(width, height)) {
        return nullptr;
    }
    return NoThrow<HBITMAP>(nullptr, [&] {
        auto bitmap = std::make_shared<Bitmap>(width, height);
        std::uint32_t* top = bitmap->View().row0;
        MakePagesNow(top, static_cast<std::size_t>(width) * height * 4);
        HBITMAP handle = AddBitmap(std::move(bitmap));
        *rows = handle ? top : nullptr;
        return handle;
    });
}

std::weak_ptr<SharedPixels> OfferBitmapPixels(HBITMAP bitmap) noexcept {
    auto object = std::dynamic_pointer_cast<Bitmap>(FindObject(bitmap));
    if (!object || object->IsDibSection() || object->IsStock()) {
        return {};
    }
    return object->Offer();
}

HBITMAP CreateSharingBitmap(const std::weak_ptr<SharedPixels>& offered) noexcept {
    return NoThrow<HBITMAP>(nullptr, [&]() -> HBITMAP {
        auto shared = Bitmap::TakeShare(offered);
        return shared ? AddBitmap(std::make_shared<Bitmap>(std::move(shared))) : nullptr;
    });
}

} // namespace platform::gdi

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    if (!FindDC(hdc)) {
        return nullptr;
    }
    if (cx == 0 || cy == 0) {
        return StockBitmap(); // as Windows does for an empty size
    }
    if (!AcceptableSize(cx, cy)) {
        return nullptr;
    }
    return NoThrow<HBITMAP>(nullptr, [&] { return AddBitmap(std::make_shared<Bitmap>(cx, cy)); });
}

HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount,
                            const void* lpBits) {
    if (nPlanes != 1 || nBitCount != 32) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (nWidth == 0 || nHeight == 0) {
        return StockBitmap();
    }
    if (!AcceptableSize(nWidth, nHeight)) {
        return nullptr;
    }
    return NoThrow<HBITMAP>(nullptr, [&] {
        auto bitmap = std::make_shared<Bitmap>(nWidth, nHeight);
        if (lpBits) {
            // Rows of a device-dependent bitmap are top-down, 4 bytes per pixel.
            const PixelView view = bitmap->View();
            std::memcpy(view.row0, lpBits, static_cast<std::size_t>(nWidth) * nHeight * 4);
        }
        return AddBitmap(std::move(bitmap));
    });
}

HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits,
                                HANDLE hSection, DWORD) {
    if (ppvBits) {
        *ppvBits = nullptr;
    }
    if (hdc && !FindDC(hdc)) {
        return nullptr;
    }
    if (hSection || !AcceptableDibHeader(pbmi, usage)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const LONG width = pbmi->bmiHeader.biWidth;
    const LONG height =
        pbmi->bmiHeader.biHeight < 0 ? -pbmi->bmiHeader.biHeight : pbmi->bmiHeader.biHeight;
    if (!AcceptableSize(width, height)) {
        return nullptr;
    }
    return NoThrow<HBITMAP>(nullptr, [&] {
        BITMAPINFOHEADER header = pbmi->bmiHeader;
        header.biSize = sizeof(BITMAPINFOHEADER);
        auto bitmap = std::make_shared<Bitmap>(width, height, header);
        HBITMAP h = AddBitmap(bitmap);
        if (h && ppvBits) {
            *ppvBits = bitmap->Bits();
        }
        return h;
    });
}
