#include "Screens.h"

#include <algorithm>
#include <cmath>

namespace gen_skin {

namespace {

// The palette: deep slate body, blue title tab, light text.
const Color kOutside = Hex(0x0B1118);
const Color kBodyTop = Hex(0x25344A);
const Color kBodyBottom = Hex(0x111923);
const Color kRim = Hex(0x6E8CB2);
const Color kTabTop = Hex(0x3D8AC9);
const Color kTabBottom = Hex(0x23598B);
const Color kHeading = Hex(0xFFFFFF);
const Color kBodyText = Hex(0xC9D5E4);
const Color kQuietText = Hex(0x8596AB);
const Color kRule = Hex(0x2C3A4D);

const Rect kProgressBar = {24, 90, 356, 134};
constexpr int kTextLeft = 24;
constexpr int kTextWidth = 332;

void PaintBody(Canvas& c) {
    auto inside = [](float x, float y) {
        return std::clamp(0.5f - PictureDistance(x + 0.5f, y + 0.5f), 0.0f, 1.0f);
    };
    c.Fill(inside, VerticalGradient(18, 278, kBodyTop, kBodyBottom), 0, 0, c.Width(), c.Height());
    // The title tab runs down into an accent line under the header; then a light rim one
    // pixel inside the outline.
    c.Fill(RoundedRect(12, 2, 206, 70, 11), VerticalGradient(2, 45, kTabTop, kTabBottom), 0, 0, 220,
           45);
    c.Fill(RoundedRect(4, 44, 374, 46, 0), Solid(kTabBottom), 0, 44, c.Width(), 46);
    auto rim = [](float x, float y) {
        const float d = PictureDistance(x + 0.5f, y + 0.5f);
        return std::clamp(1.0f - std::fabs(d + 1.2f), 0.0f, 1.0f);
    };
    c.Fill(rim, Solid(kRim), 0, 0, c.Width(), c.Height(), 0.85f);
}

void PaintTitle(Canvas& c, TextPainter& text) {
    text.Draw(c, "Nerith firmware update", 26, 28, 13, Weight::Bold, kHeading);
    const int chipWidth = text.Width("Firmware 1.64", 10, Weight::Regular) + 16;
    const float right = 358, left = right - static_cast<float>(chipWidth);
    c.Fill(RoundedRect(left, 27, right, 43, 8), Solid(Hex(0x1A2636)), static_cast<int>(left) - 1,
           26, 360, 44);
    auto ring = [=](float x, float y) {
        const float d = RoundedRectDistance(x + 0.5f, y + 0.5f, left, 27, right, 43, 8);
        return std::clamp(1.0f - std::fabs(d + 0.5f), 0.0f, 1.0f);
    };
    c.Fill(ring, Solid(Hex(0x3C5472)), static_cast<int>(left) - 1, 26, 360, 44);
    text.DrawCentered(c, "Firmware 1.64", static_cast<int>((left + right) / 2), 39, 10,
                      Weight::Regular, kBodyText);
}

void PaintProgressSlot(Canvas& c) {
    const Rect r = kProgressBar;
    // The slot's rim lies 2 pixels outside the bar.
    const float rimLeft = static_cast<float>(r.left) - 2.0f;
    const float rimTop = static_cast<float>(r.top) - 2.0f;
    const float rimRight = static_cast<float>(r.right) + 2.0f;
    const float rimBottom = static_cast<float>(r.bottom) + 2.0f;
    c.Fill(RoundedRect(rimLeft, rimTop, rimRight, rimBottom, 5), Solid(Hex(0x070B10)), r.left - 4,
           r.top - 4, r.right + 4, r.bottom + 4);
    auto edge = [=](float x, float y) {
        const float d =
            RoundedRectDistance(x + 0.5f, y + 0.5f, rimLeft, rimTop, rimRight, rimBottom, 5);
        return std::clamp(1.0f - std::fabs(d + 0.5f), 0.0f, 1.0f);
    };
    c.Fill(edge, Solid(Hex(0x33465E)), r.left - 4, r.top - 4, r.right + 4, r.bottom + 4);
    c.Fill(RoundedRect(static_cast<float>(r.left), static_cast<float>(r.top),
                       static_cast<float>(r.right), static_cast<float>(r.top + 10), 0),
           VerticalGradient(static_cast<float>(r.top), static_cast<float>(r.top + 10),
                            Hex(0x000000), Hex(0x070B10)),
           r.left, r.top, r.right, r.top + 10, 0.6f);
}

void PaintEmblem(Canvas& c, Emblem emblem, TextPainter& text) {
    const float cx = 40, cy = 68, radius = 15;
    switch (emblem) {
    case Emblem::None:
        return;
    case Emblem::Warning: {
        auto triangle = [=](float x, float y) {
            const float px = x + 0.5f - cx, py = y + 0.5f - cy;
            const float d = std::max(
                py - 12.0f, std::max(0.866f * px - 0.5f * py, -0.866f * px - 0.5f * py) - 7.0f);
            return std::clamp(0.5f - d, 0.0f, 1.0f);
        };
        c.Fill(triangle, VerticalGradient(cy - 16, cy + 12, Hex(0xF7C245), Hex(0xE0911B)), 20, 48,
               62, 84);
        text.DrawCentered(c, "!", static_cast<int>(cx) + 1, static_cast<int>(cy) + 10, 17,
                          Weight::Bold, Hex(0x2A1C05));
        return;
    }
    case Emblem::Success:
        c.Fill(Circle(cx, cy, radius),
               VerticalGradient(cy - radius, cy + radius, Hex(0x5BD27A), Hex(0x2E9C4E)), 20, 48, 62,
               90);
        c.Line(cx - 7, cy, cx - 2, cy + 6, 3, Hex(0xFFFFFF));
        c.Line(cx - 2, cy + 6, cx + 8, cy - 6, 3, Hex(0xFFFFFF));
        return;
    case Emblem::Failure:
        c.Fill(Circle(cx, cy, radius),
               VerticalGradient(cy - radius, cy + radius, Hex(0xF06A5E), Hex(0xC23A32)), 20, 48, 62,
               90);
        c.Line(cx - 6, cy - 6, cx + 6, cy + 6, 3, Hex(0xFFFFFF));
        c.Line(cx + 6, cy - 6, cx - 6, cy + 6, 3, Hex(0xFFFFFF));
        return;
    case Emblem::Info:
        c.Fill(Circle(cx, cy, radius),
               VerticalGradient(cy - radius, cy + radius, Hex(0x5AA8F0), Hex(0x2F6DB8)), 20, 48, 62,
               90);
        text.DrawCentered(c, "i", static_cast<int>(cx) + 1, static_cast<int>(cy) + 8, 20,
                          Weight::Bold, Hex(0xFFFFFF));
        return;
    }
}

void PaintText(Canvas& c, const Screen& screen, TextPainter& text) {
    const bool emblem = screen.emblem != Emblem::None;
    text.Draw(c, screen.heading, emblem ? 66 : kTextLeft, emblem ? 74 : 66, 16, Weight::Bold,
              kHeading);
    int baseline = screen.progressSlot ? 82 : 112;
    for (std::size_t i = 0; i < screen.paragraphs.size(); ++i) {
        const bool quiet = screen.progressSlot && i > 0;
        if (quiet) {
            baseline = 156;
        }
        baseline = text.DrawWrapped(c, screen.paragraphs[i], kTextLeft, baseline, kTextWidth, 17,
                                    12, Weight::Regular, quiet ? kQuietText : kBodyText);
        baseline += 8;
    }
}

struct Face {
    Color top, bottom, border, label;
};

Face FaceFor(ButtonStyle style, ButtonState state) {
    if (style == ButtonStyle::Primary) {
        switch (state) {
        case ButtonState::Normal:
            return {Hex(0x4C93E4), Hex(0x2C68B0), Hex(0x17406F), Hex(0xFFFFFF)};
        case ButtonState::Hover:
            return {Hex(0x7DBBFA), Hex(0x3F86D6), Hex(0xA9D6FF), Hex(0xFFFFFF)};
        case ButtonState::Pressed:
            return {Hex(0x24548D), Hex(0x3572BA), Hex(0x102E52), Hex(0xDCEBFF)};
        }
    }
    switch (state) {
    case ButtonState::Normal:
        return {Hex(0x56647A), Hex(0x394454), Hex(0x1F2630), Hex(0xFFFFFF)};
    case ButtonState::Hover:
        return {Hex(0x75849A), Hex(0x4C596C), Hex(0xA5B6CC), Hex(0xFFFFFF)};
    default:
        return {Hex(0x2B333F), Hex(0x3D4858), Hex(0x161B22), Hex(0xD5DDE8)};
    }
}

// Largest text size (up to 11 px) that leaves the caption a little room in the face.
int CaptionSize(TextPainter& text, const Button& b) {
    int size = 11;
    while (size > 8 && text.Width(b.caption, size, Weight::Bold) > b.rect.right - b.rect.left - 6) {
        --size;
    }
    return size;
}

void PaintButton(Canvas& c, const Button& b, ButtonState state, TextPainter& text) {
    const Face face = FaceFor(b.style, state);
    const float l = static_cast<float>(b.rect.left), t = static_cast<float>(b.rect.top);
    const float r = static_cast<float>(b.rect.right), bottom = static_cast<float>(b.rect.bottom);
    const int x0 = b.rect.left - 3, y0 = b.rect.top - 3, x1 = b.rect.right + 3,
              y1 = b.rect.bottom + 3;
    if (state == ButtonState::Hover) {
        auto glow = [=](float x, float y) {
            const float d = RoundedRectDistance(x + 0.5f, y + 0.5f, l, t, r, bottom, 4);
            return std::clamp(1.0f - d / 3.0f, 0.0f, 1.0f) * (d > 0 ? 0.45f : 0.0f);
        };
        c.Fill(glow, Solid(face.border), x0, y0, x1, y1);
    }
    c.Fill(RoundedRect(l + 0.5f, t + 0.5f, r - 0.5f, bottom - 0.5f, 3.5f),
           VerticalGradient(t, bottom, face.top, face.bottom), x0, y0, x1, y1);
    auto border = [=](float x, float y) {
        const float d = RoundedRectDistance(x + 0.5f, y + 0.5f, l + 0.5f, t + 0.5f, r - 0.5f,
                                            bottom - 0.5f, 3.5f);
        return std::clamp(1.0f - std::fabs(d + 0.5f), 0.0f, 1.0f);
    };
    c.Fill(border, Solid(face.border), x0, y0, x1, y1);
    if (state != ButtonState::Pressed) {
        c.Line(l + 3, t + 1.5f, r - 3, t + 1.5f, 1, Mix(face.top, Hex(0xFFFFFF), 0.35f));
    }
    const int size = CaptionSize(text, b);
    const int shift = state == ButtonState::Pressed ? 1 : 0;
    const int height = b.rect.bottom - b.rect.top;
    const int baseline = b.rect.top + (height + (size * 73) / 100) / 2 + shift;
    text.DrawCentered(c, b.caption, (b.rect.left + b.rect.right) / 2 + shift, baseline, size,
                      Weight::Bold, face.label);
}

void PaintFooter(Canvas& c, const Screen& screen, TextPainter& text) {
    int top = 999;
    for (const Button& b : screen.buttons) {
        top = std::min(top, b.rect.top);
    }
    c.Line(20, static_cast<float>(top - 11), 360, static_cast<float>(top - 11), 1, kRule);
    text.Draw(c, "Nerith Update 1.64", kTextLeft, top + 12, 10, Weight::Regular, kQuietText);
}

} // namespace

Screen MainScreen() {
    Screen s;
    s.heading = "Ready to update";
    s.paragraphs = {"Press OK to install firmware version 1.64.",
                    "Keep the Nerith plugged in until the update is done."};
    s.progressSlot = true;
    s.buttons = {{{187, 231, 217, 248}, "OK", ButtonStyle::Primary},
                 {{257, 231, 301, 248}, "Cancel", ButtonStyle::Secondary}};
    return s;
}

Screen DowngradePrompt() {
    Screen s;
    s.heading = "Install older firmware?";
    s.emblem = Emblem::Warning;
    s.paragraphs = {
        "This Nerith already runs a newer firmware than version 1.64. Writing 1.64 would downgrade "
        "it.",
        "Press OK to write the older firmware anyway, or Cancel to keep the firmware it has now."};
    s.buttons = {{{216, 228, 234, 243}, "OK", ButtonStyle::Primary},
                 {{259, 228, 304, 243}, "Cancel", ButtonStyle::Secondary}};
    return s;
}

Screen SuccessNotice() {
    Screen s;
    s.heading = "Update complete";
    s.emblem = Emblem::Success;
    s.paragraphs = {"Your Nerith now runs firmware version 1.64.",
                    "Press OK to close the updater."};
    s.buttons = {{{224, 229, 249, 244}, "OK", ButtonStyle::Primary}};
    return s;
}

Screen FailureNotice() {
    Screen s;
    s.heading = "Update failed";
    s.emblem = Emblem::Failure;
    s.paragraphs = {"The firmware could not be written to your Nerith.",
                    "Unplug the device, plug it in again and run the updater once more."};
    s.buttons = {{{224, 229, 249, 244}, "OK", ButtonStyle::Primary}};
    return s;
}

Screen UpToDateNotice() {
    Screen s;
    s.heading = "Already up to date";
    s.emblem = Emblem::Info;
    s.paragraphs = {
        "Your Nerith already runs firmware version 1.64. Nothing needs to be installed.",
        "Press OK to close the updater."};
    s.buttons = {{{224, 229, 249, 244}, "OK", ButtonStyle::Primary}};
    return s;
}

std::vector<Rect> RequiredRects(const Screen& screen) {
    std::vector<Rect> rects;
    for (const Button& b : screen.buttons) {
        rects.push_back(b.rect);
    }
    if (screen.progressSlot) {
        rects.push_back(kProgressBar);
    }
    return rects;
}

Canvas PaintScreen(const Screen& screen, ButtonState state, TextPainter& text) {
    Canvas c(kPictureWidth, kPictureHeight, kOutside);
    PaintBody(c);
    PaintTitle(c, text);
    PaintEmblem(c, screen.emblem, text);
    PaintText(c, screen, text);
    if (screen.progressSlot) {
        PaintProgressSlot(c);
    }
    PaintFooter(c, screen, text);
    for (const Button& b : screen.buttons) {
        PaintButton(c, b, state, text);
    }
    return c;
}

} // namespace gen_skin
