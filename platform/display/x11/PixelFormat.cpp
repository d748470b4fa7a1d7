#include "PixelFormat.h"

namespace platform::display::x11 {

PixelFormat::Channel PixelFormat::Channel::FromMask(unsigned long mask) {
    Channel channel;
    channel.mask = mask;
    if (mask == 0) {
        return channel;
    }
    while (((mask >> channel.shift) & 1UL) == 0) {
        ++channel.shift;
    }
    while (((mask >> (channel.shift + channel.bits)) & 1UL) != 0) {
        ++channel.bits;
    }
    return channel;
}

unsigned long PixelFormat::Channel::Place(std::uint32_t component) const {
    unsigned long value = component;
    if (bits <= 8) {
        value >>= 8 - bits;
    } else {
        value = value * ((1UL << bits) - 1) / 255;
    }
    return (value << shift) & mask;
}

std::optional<PixelFormat> PixelFormat::ForVisual(const Visual& visual, int depth) {
    if (visual.c_class != TrueColor || depth <= 0 || depth > 32) {
        return std::nullopt;
    }
    PixelFormat format;
    format.red_ = Channel::FromMask(visual.red_mask);
    format.green_ = Channel::FromMask(visual.green_mask);
    format.blue_ = Channel::FromMask(visual.blue_mask);
    if (format.red_.bits == 0 || format.green_.bits == 0 || format.blue_.bits == 0) {
        return std::nullopt;
    }
    const unsigned long depthMask = depth == 32 ? 0xFFFFFFFFUL : (1UL << depth) - 1;
    format.opaque_ = depthMask & ~(visual.red_mask | visual.green_mask | visual.blue_mask);
    format.depth_ = depth;
    format.rgb888_ = visual.red_mask == 0xFF0000 && visual.green_mask == 0xFF00 &&
                     visual.blue_mask == 0xFF && format.opaque_ == 0;
    return format;
}

unsigned long PixelFormat::FromRgb(std::uint32_t rgb) const {
    return red_.Place((rgb >> 16) & 0xFF) | green_.Place((rgb >> 8) & 0xFF) |
           blue_.Place(rgb & 0xFF) | opaque_;
}

} // namespace platform::display::x11
