#include "ScreenRecognizer.h"
#include "SkinPictures.h"

#include <algorithm>
#include <cstdlib>

namespace nerith::demo {

namespace {

constexpr int kMaskId = 1021;
constexpr std::uint32_t kOutside = 0xFFFFFF;
// JPEG pictures are decoded by the same code on both sides, so the right one matches almost
// exactly (a few pixels of the outline aside), while any two screens differ in 2% or more.
constexpr int kChannelTolerance = 40;
constexpr double kMatchLimit = 0.002;
constexpr double kSeparation = 0.01;

const ScreenLayout kLayouts[] = {
    {Screen::Main, 1015, RECT{187, 231, 217, 248}, RECT{257, 231, 301, 248}},
    {Screen::Prompt, 1026, RECT{216, 228, 234, 243}, RECT{259, 228, 304, 243}},
    {Screen::Success, 1005, RECT{224, 229, 249, 244}, RECT{}},
    {Screen::Failure, 1008, RECT{224, 229, 249, 244}, RECT{}},
    {Screen::UpToDate, 1030, RECT{224, 229, 249, 244}, RECT{}},
};

// The progress bar and every button change while a screen is up; they never decide.
const RECT kVolatile[] = {
    {22, 88, 358, 136},   {187, 231, 217, 248}, {257, 231, 301, 248},
    {216, 228, 234, 243}, {259, 228, 304, 243}, {224, 229, 249, 244},
};

bool Inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

int ChannelDistance(std::uint32_t a, std::uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int d =
            std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        worst = std::max(worst, d);
    }
    return worst;
}

} // namespace

const char* ScreenName(Screen screen) {
    switch (screen) {
    case Screen::Main:
        return "main window";
    case Screen::Prompt:
        return "downgrade prompt";
    case Screen::Success:
        return "success notice";
    case Screen::Failure:
        return "failure notice";
    case Screen::UpToDate:
        return "up-to-date notice";
    case Screen::MessageBox:
        return "message box";
    case Screen::Unknown:
        break;
    }
    return "unknown screen";
}

const ScreenLayout* LayoutOf(Screen screen) {
    for (const ScreenLayout& layout : kLayouts) {
        if (layout.screen == screen) {
            return &layout;
        }
    }
    return nullptr;
}

bool ScreenRecognizer::Load(const std::string& skinDllPath, std::string* error) {
    mask_ = LoadSkinBitmapPicture(skinDllPath, kMaskId, error);
    if (mask_.Empty()) {
        return false;
    }
    backgrounds_.clear();
    for (const ScreenLayout& layout : kLayouts) {
        testing::Image picture = LoadSkinJpegPicture(skinDllPath, layout.backgroundId, error);
        if (picture.Empty()) {
            return false;
        }
        backgrounds_.emplace_back(layout.screen, std::move(picture));
    }
    return true;
}

const testing::Image* ScreenRecognizer::Background(Screen screen) const {
    for (const auto& [known, picture] : backgrounds_) {
        if (known == screen) {
            return &picture;
        }
    }
    return nullptr;
}

bool ScreenRecognizer::Compared(int x, int y) const {
    if (x >= mask_.width || y >= mask_.height || mask_.At(x, y) == kOutside) {
        return false;
    }
    for (const RECT& r : kVolatile) {
        if (Inside(r, x, y)) {
            return false;
        }
    }
    return true;
}

double ScreenRecognizer::Mismatch(const testing::Image& shot, const testing::Image& picture) const {
    long compared = 0;
    long differing = 0;
    for (int y = 0; y + kWindowBorder < shot.height && y < picture.height; ++y) {
        for (int x = 0; x + kWindowBorder < shot.width && x < picture.width; ++x) {
            if (!Compared(x, y)) {
                continue;
            }
            ++compared;
            const std::uint32_t seen = shot.At(x + kWindowBorder, y + kWindowBorder);
            if (ChannelDistance(seen, picture.At(x, y)) > kChannelTolerance) {
                ++differing;
            }
        }
    }
    return compared ? static_cast<double>(differing) / static_cast<double>(compared) : 1.0;
}

Recognition ScreenRecognizer::Recognize(const testing::Image& shot) const {
    Recognition best;
    Screen bestScreen = Screen::Unknown;
    for (const auto& [screen, picture] : backgrounds_) {
        const double mismatch = Mismatch(shot, picture);
        if (mismatch < best.mismatch) {
            best.secondMismatch = best.mismatch;
            best.mismatch = mismatch;
            bestScreen = screen;
        } else if (mismatch < best.secondMismatch) {
            best.secondMismatch = mismatch;
        }
    }
    const bool clear =
        best.mismatch < kMatchLimit && best.secondMismatch - best.mismatch > kSeparation;
    best.screen = clear ? bestScreen : Screen::Unknown;
    return best;
}

} // namespace nerith::demo
