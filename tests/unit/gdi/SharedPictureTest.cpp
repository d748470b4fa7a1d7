// Pictures loaded from the same bytes share their pixels until one is drawn on; whatever is
// drawn shows on that picture alone.
#include "EncodeJpeg.h"
#include "platform/gdi32.h"
#include "platform/internal/picture_sharing.h"
#include "platform/kernel32.h"
#include "platform/ole2.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kLeft = 0x00C03020u;
constexpr std::uint32_t kRight = 0x002040E0u;

// 16 x 8 pixels, the left half one colour and the right half another.
std::vector<std::uint8_t> HalvesJpeg(std::uint32_t left) {
    std::vector<std::uint32_t> pixels(std::size_t{16} * 8);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = i % 16 < 8 ? left : kRight;
    }
    return jpeg_encoder::EncodeJpeg(pixels, 16, 8, 100);
}

class LoadedPicture {
public:
    explicit LoadedPicture(const std::vector<std::uint8_t>& bytes) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
        IStream* stream = nullptr;
        if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
            return;
        }
        OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                       reinterpret_cast<LPVOID*>(&picture_));
        stream->Release();
        OLE_HANDLE handle = 0;
        if (picture_ && SUCCEEDED(picture_->get_Handle(&handle))) {
            bitmap_ = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
            dc_ = CreateCompatibleDC(nullptr);
            old_ = SelectObject(dc_, bitmap_);
        }
    }
    ~LoadedPicture() { Release(); }
    LoadedPicture(const LoadedPicture&) = delete;
    LoadedPicture& operator=(const LoadedPicture&) = delete;

    void Release() {
        if (dc_) {
            SelectObject(dc_, old_);
            DeleteDC(dc_);
            dc_ = nullptr;
        }
        if (picture_) {
            picture_->Release();
            picture_ = nullptr;
        }
    }
    bool Loaded() const { return dc_ != nullptr; }
    HBITMAP Bitmap() const { return bitmap_; }
    HDC Dc() const { return dc_; }

private:
    IPicture* picture_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

bool Near(COLORREF actual, std::uint32_t rgb) {
    const auto close = [](int a, std::uint32_t b) {
        return std::abs(a - static_cast<int>(b & 0xFF)) <= 3;
    };
    return close(GetRValue(actual), rgb >> 16) && close(GetGValue(actual), rgb >> 8) &&
           close(GetBValue(actual), rgb);
}

// Every pixel of the picture as decoded.
bool AsDecoded(const LoadedPicture& picture) {
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (!Near(GetPixel(picture.Dc(), x, y), x < 8 ? kLeft : kRight)) {
                return false;
            }
        }
    }
    return true;
}

bool SamePixels(HBITMAP a, HBITMAP b) {
    const auto first = platform::gdi::OfferBitmapPixels(a);
    const auto second = platform::gdi::OfferBitmapPixels(b);
    return !first.expired() && !first.owner_before(second) && !second.owner_before(first);
}

struct Drawing {
    const char* name;
    std::function<void(HDC)> draw;
    int x; // a pixel the drawing changes from what was decoded
};

const Drawing kDrawings[] = {
    {"SetPixel", [](HDC dc) { SetPixel(dc, 3, 2, RGB(0, 255, 0)); }, 3},
    {"BitBlt BLACKNESS", [](HDC dc) { BitBlt(dc, 0, 0, 4, 4, nullptr, 0, 0, BLACKNESS); }, 1},
    {"BitBlt onto itself", [](HDC dc) { BitBlt(dc, 8, 0, 8, 8, dc, 0, 0, SRCCOPY); }, 12},
};

TEST(SharedPictures, LoadsOfTheSameBytesShareOneDecode) {
    const auto bytes = HalvesJpeg(kLeft);
    LoadedPicture first(bytes);
    LoadedPicture second(bytes);
    LoadedPicture other(HalvesJpeg(0x00102030u));
    ASSERT_TRUE(first.Loaded() && second.Loaded() && other.Loaded());
    EXPECT_NE(first.Bitmap(), second.Bitmap());
    EXPECT_TRUE(SamePixels(first.Bitmap(), second.Bitmap()));
    EXPECT_FALSE(SamePixels(first.Bitmap(), other.Bitmap()));
    EXPECT_TRUE(AsDecoded(second));
}

// Drawn on the first or the second of two sharers, or on a picture nobody shares yet: only
// the one drawn on changes, and a later load of the same bytes is as decoded.
TEST(SharedPictures, DrawingChangesOnlyThePictureDrawnOn) {
    const auto bytes = HalvesJpeg(kLeft);
    for (const Drawing& drawing : kDrawings) {
        for (int drawnOn : {0, 1, 2}) {
            SCOPED_TRACE(std::string(drawing.name) + " on picture " + std::to_string(drawnOn));
            LoadedPicture first(bytes);
            LoadedPicture second(bytes);
            if (drawnOn == 2) {
                second.Release();
            }
            LoadedPicture& target = drawnOn == 1 ? second : first;
            const COLORREF before = GetPixel(target.Dc(), drawing.x, 2);
            drawing.draw(target.Dc());
            EXPECT_NE(GetPixel(target.Dc(), drawing.x, 2), before);
            if (drawnOn != 2) {
                EXPECT_TRUE(AsDecoded(drawnOn == 1 ? first : second));
                EXPECT_FALSE(SamePixels(first.Bitmap(), second.Bitmap()));
            }
            LoadedPicture later(bytes);
            ASSERT_TRUE(later.Loaded());
            EXPECT_TRUE(AsDecoded(later));
            EXPECT_FALSE(SamePixels(later.Bitmap(), target.Bitmap()));
        }
    }
}

TEST(SharedPictures, SharedPixelsOutliveTheFirstPicture) {
    const auto bytes = HalvesJpeg(kLeft);
    LoadedPicture first(bytes);
    LoadedPicture second(bytes);
    first.Release();
    ASSERT_TRUE(second.Loaded());
    EXPECT_TRUE(AsDecoded(second));
    LoadedPicture third(bytes);
    EXPECT_TRUE(SamePixels(second.Bitmap(), third.Bitmap()));
    SetPixel(second.Dc(), 0, 0, RGB(255, 255, 255));
    EXPECT_TRUE(AsDecoded(third));
}

} // namespace
