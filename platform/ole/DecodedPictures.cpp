#include "DecodedPictures.h"

#include <algorithm>
#include <new>

namespace platform::ole {

DecodedPictures& DecodedPictures::Process() {
    static DecodedPictures pictures;
    return pictures;
}

HBITMAP DecodedPictures::Share(const std::vector<BYTE>& bytes) {
    const std::lock_guard guard(lock_);
    ForgetExpired();
    for (const Entry& entry : entries_) {
        if (entry.bytes != bytes) {
            continue;
        }
        if (HBITMAP bitmap = gdi::CreateSharingBitmap(entry.pixels)) {
            return bitmap;
        }
    }
    return nullptr;
}

void DecodedPictures::Remember(std::vector<BYTE> bytes, HBITMAP bitmap) {
    auto pixels = gdi::OfferBitmapPixels(bitmap);
    if (pixels.expired()) {
        return;
    }
    const std::lock_guard guard(lock_);
    ForgetExpired();
    try {
        entries_.push_back(Entry{std::move(bytes), std::move(pixels)});
    } catch (const std::bad_alloc&) {
        // Only later loads of the same bytes lose: they decode again.
    }
}

// Deleted bitmaps leave their entries behind; their bytes go with the next look-up.
void DecodedPictures::ForgetExpired() {
    std::erase_if(entries_, [](const Entry& entry) { return entry.pixels.expired(); });
}

} // namespace platform::ole
