// The in-memory screen that tests drive. When NERITH_DISPLAY=headless, every top-level window
// lives on a virtual screen of 1280 x 1024 pixels (work area: the whole screen unless set),
// stacked in the order they were shown; input injected here reaches the topmost window whose
// shape holds the pointer, exactly as clicks on a real screen would. Screenshots are
// 0x00RRGGBB pixels, rows top-down. All members are safe to call from any thread.
#pragma once

#include "display/Image.h"
#include "display/display.h"

#include <cstdint>
#include <string>

namespace platform::display {

// The colour of the screen where no window is.
inline constexpr std::uint32_t kDesktopColour = 0x003A6EA5;

class HeadlessScreen {
public:
    virtual ~HeadlessScreen() = default;

    virtual Image Screenshot() const = 0;
    // The window's last presented pixels, whatever lies above it; empty for an unknown id.
    virtual Image WindowPixels(NativeId id) const = 0;
    virtual NativeId WindowAt(POINT screen) const = 0;
    virtual bool IsShown(NativeId id) const = 0;
    virtual RECT WindowRect(NativeId id) const = 0;
    virtual std::string Title(NativeId id) const = 0;
    // Width of the icon last set, 0 when none.
    virtual int IconWidth(NativeId id) const = 0;
    virtual void SetWorkArea(const RECT& area) = 0;

    virtual void MoveMouse(POINT screen) = 0;
    virtual void PressButton(int button) = 0;
    virtual void ReleaseButton(int button) = 0;
    // Moves the pointer there, presses and releases the left button.
    virtual void Click(POINT screen) = 0;
    // modifiers: MK_SHIFT, MK_CONTROL and 0x1000 for Alt, as in InputEvent.
    virtual void KeyDown(UINT vk, UINT modifiers = 0) = 0;
    virtual void KeyUp(UINT vk, UINT modifiers = 0) = 0;
    virtual void PressKey(UINT vk, UINT modifiers = 0) = 0;
    // What a window manager sends when the user closes the window.
    virtual void RequestClose(NativeId id) = 0;
    // Drops input that no one has read yet, so one test's leftovers cannot reach the next.
    virtual void DiscardInput() = 0;
};

// The active headless screen, or nullptr when the display is not the headless one.
HeadlessScreen* Headless();

// Writes an image as binary PPM, for looking at a failing test's screen. False on failure.
bool WritePpm(const Image& image, const std::string& path);

} // namespace platform::display
