// How a 0x00RRGGBB pixel becomes a pixel value of a TrueColor visual of any depth.
#pragma once

#include "XlibHeaders.h"

#include <cstdint>
#include <optional>

namespace platform::display::x11 {

class PixelFormat {
public:
    // Only TrueColor visuals have a fixed mapping from colour to pixel value.
    static std::optional<PixelFormat> ForVisual(const Visual& visual, int depth);

    unsigned long FromRgb(std::uint32_t rgb) const;
    // True when pixels can be handed over unchanged (the common 24-bit layout).
    bool IsRgb888() const { return rgb888_; }
    int Depth() const { return depth_; }

private:
    struct Channel {
        unsigned long mask = 0;
        int shift = 0;
        int bits = 0;
        unsigned long Place(std::uint32_t component) const;
        static Channel FromMask(unsigned long mask);
    };

    Channel red_, green_, blue_;
    unsigned long opaque_ = 0; // bits of the depth that no colour uses: alpha, kept opaque
    int depth_ = 0;
    bool rgb888_ = false;
};

} // namespace platform::display::x11
