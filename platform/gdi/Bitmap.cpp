#include "Bitmap.h"

#include "platform/kernel32.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

namespace platform::gdi {

namespace {

// Orders offering, sharing and taking back the only copy, which may run on several threads.
std::mutex& ShareLock() {
    static std::mutex lock;
    return lock;
}

PixelView ViewOf(SharedPixels& store, bool bottomUp) {
    PixelView view;
    view.width = store.width;
    view.height = store.height;
    if (bottomUp) {
        view.row0 =
            store.pixels.data() + static_cast<std::ptrdiff_t>(store.height - 1) * store.width;
        view.pitch = -store.width;
    } else {
        view.row0 = store.pixels.data();
        view.pitch = store.width;
    }
    return view;
}

} // namespace

Bitmap::Bitmap(int width, int height)
    : GdiObject(OBJ_BITMAP), width_(width), height_(height),
      store_(std::make_shared<SharedPixels>(width, height)) {}

Bitmap::Bitmap(int width, int height, const BITMAPINFOHEADER& dib)
    : GdiObject(OBJ_BITMAP), width_(width), height_(height), isDib_(true),
      bottomUp_(dib.biHeight > 0), dib_(dib),
      store_(std::make_shared<SharedPixels>(width, height)) {
    dib_.biSizeImage = static_cast<DWORD>(width) * 4u * static_cast<DWORD>(height);
}

Bitmap::Bitmap(std::shared_ptr<SharedPixels> shared)
    : GdiObject(OBJ_BITMAP), width_(shared->width), height_(shared->height),
      store_(std::move(shared)) {}

// Pixels nobody else may take are written in place; shared ones are copied first.
bool Bitmap::Own() {
    if (!store_->offered.load(std::memory_order_acquire)) {
        return true;
    }
    const std::lock_guard lock(ShareLock());
    if (store_.use_count() == 1) {
        store_->offered.store(false, std::memory_order_release);
        return true;
    }
    try {
        auto own = std::make_shared<SharedPixels>(width_, height_);
        std::copy(store_->pixels.begin(), store_->pixels.end(), own->pixels.begin());
        store_ = std::move(own);
        return true;
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
}

void* Bitmap::Bits() {
    return Own() ? store_->pixels.data() : nullptr;
}

PixelView Bitmap::View() {
    return Own() ? ViewOf(*store_, bottomUp_) : PixelView{};
}

PixelView Bitmap::ReadView() const {
    return ViewOf(*store_, bottomUp_);
}

std::weak_ptr<SharedPixels> Bitmap::Offer() {
    const std::lock_guard lock(ShareLock());
    store_->offered.store(true, std::memory_order_release);
    return store_;
}

std::shared_ptr<SharedPixels> Bitmap::TakeShare(const std::weak_ptr<SharedPixels>& offered) {
    const std::lock_guard lock(ShareLock());
    auto store = offered.lock();
    if (!store || !store->offered.load(std::memory_order_acquire)) {
        return nullptr;
    }
    return store;
}

void Bitmap::FillBitmap(BITMAP& bm) {
    bm.bmType = 0;
    bm.bmWidth = width_;
    bm.bmHeight = height_;
    bm.bmWidthBytes = width_ * 4;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = 32;
    bm.bmBits = isDib_ ? Bits() : nullptr;
}

void Bitmap::FillDibSection(DIBSECTION& ds) {
    std::memset(&ds, 0, sizeof(ds));
    FillBitmap(ds.dsBm);
    ds.dsBmih = dib_;
    // Windows reports the height without its sign: a top-down section does not show as one.
    ds.dsBmih.biHeight = height_;
}

bool AcceptableSize(int width, int height) {
    if (width > 0 && height > 0 && width <= Bitmap::kMaxEdge && height <= Bitmap::kMaxEdge) {
        return true;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

} // namespace platform::gdi
