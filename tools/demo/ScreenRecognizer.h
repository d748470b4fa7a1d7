// Tells the updater's screens apart by their pixels: every skinned window has the size of its
// pictures, so a window's screenshot is compared with each screen's background picture.
#pragma once

#include "Image.h"

#include <string>
#include <vector>

namespace nerith::demo {

enum class Screen { Unknown, Main, Prompt, Success, Failure, UpToDate, MessageBox };

const char* ScreenName(Screen screen);

struct ScreenLayout {
    Screen screen;
    int backgroundId; // JPEG id in the skin library
    RECT ok;          // client coordinates
    RECT cancel;      // empty when the screen has no Cancel button
};

const ScreenLayout* LayoutOf(Screen screen);

struct Recognition {
    Screen screen = Screen::Unknown;
    double mismatch = 1.0;       // share of compared pixels that differ from the best picture
    double secondMismatch = 1.0; // the same for the runner-up
};

class ScreenRecognizer {
public:
    // Decodes the backgrounds and the shape mask; false with `error` set when the skin library
    // lacks one of them.
    bool Load(const std::string& skinDllPath, std::string* error);
    SIZE PictureSize() const { return SIZE{mask_.width, mask_.height}; }
    // The screen's background picture (client coordinates); nullptr for an unknown screen.
    const testing::Image* Background(Screen screen) const;
    // `shot` is a whole skinned window; its client area starts one border width inside.
    Recognition Recognize(const testing::Image& shot) const;

private:
    double Mismatch(const testing::Image& shot, const testing::Image& picture) const;
    bool Compared(int x, int y) const;

    testing::Image mask_;
    std::vector<std::pair<Screen, testing::Image>> backgrounds_;
};

// The client area's offset inside a skinned window: its thin border.
constexpr int kWindowBorder = 1;

} // namespace nerith::demo
