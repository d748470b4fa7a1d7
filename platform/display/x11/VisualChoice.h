// The visual, depth and colormap every window of the backend is created with.
#pragma once

#include "PixelFormat.h"

#include <memory>

namespace platform::display::x11 {

class VisualChoice {
public:
    // The screen's default visual when it is TrueColor, otherwise a 24-bit TrueColor visual
    // with a colormap of its own; nullptr when the screen has neither.
    static std::unique_ptr<VisualChoice> ForScreen(Display* display, int screen);
    ~VisualChoice();
    VisualChoice(const VisualChoice&) = delete;
    VisualChoice& operator=(const VisualChoice&) = delete;

    Visual* visual() const { return visual_; }
    int depth() const { return format_.Depth(); }
    Colormap colormap() const { return colormap_; }
    const PixelFormat& format() const { return format_; }

private:
    VisualChoice(Display* display, Visual* visual, Colormap colormap, bool ownsColormap,
                 PixelFormat format)
        : display_(display), visual_(visual), colormap_(colormap), ownsColormap_(ownsColormap),
          format_(format) {}

    Display* display_;
    Visual* visual_;
    Colormap colormap_;
    bool ownsColormap_;
    PixelFormat format_;
};

} // namespace platform::display::x11
