// Pictures decoded so far, by the bytes they came from, while their bitmaps live undrawn on: a
// skin loads one picture as several bitmaps, and each after the first shares the first's
// pixels instead of holding a decode of its own.
#pragma once

#include "platform/internal/picture_sharing.h"
#include "platform/wintypes.h"

#include <memory>
#include <mutex>
#include <vector>

namespace platform::ole {

class DecodedPictures {
public:
    static DecodedPictures& Process();

    // A new bitmap sharing the pixels of one decoded from the same bytes; nullptr when none
    // is left undrawn on.
    HBITMAP Share(const std::vector<BYTE>& bytes);
    // Offers `bitmap`, just decoded from `bytes`, to later loads of the same bytes. Never
    // throws: the bitmap is the caller's whatever happens.
    void Remember(std::vector<BYTE> bytes, HBITMAP bitmap);

private:
    struct Entry {
        std::vector<BYTE> bytes;
        std::weak_ptr<gdi::SharedPixels> pixels;
    };

    void ForgetExpired();

    std::mutex lock_;
    std::vector<Entry> entries_;
};

} // namespace platform::ole
