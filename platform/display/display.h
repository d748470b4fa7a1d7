// The display backend: the one seam between the window system (user) and a real or virtual
// screen. A backend shows finished pixels and reports input; all drawing and all window logic
// stay in user and gdi. Functions a backend does not need have harmless defaults.
#pragma once

#include "platform/internal/surface.h"
#include "platform/wintypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::display {

using NativeId = std::uint64_t; // 0 = none

enum class WindowKind { Normal, Dialog, Tooltip, Menu };

struct NativeWindowDesc {
    RECT screenRect{}; // outer rectangle in screen coordinates
    WindowKind kind = WindowKind::Normal;
    bool decorated = false;    // false: no frame or title bar from the window manager
    NativeId transientFor = 0; // owner, for dialogs and popups
    std::string title;
};

enum class EventType {
    MouseMove,
    ButtonDown,
    ButtonUp,
    KeyDown,
    KeyUp,
    CloseRequest, // the window manager asks the window to close
    Expose,       // part of the window needs presenting again
    FocusIn,
    FocusOut,
    Moved, // the window manager moved the window (screenRect holds the new place)
};

struct InputEvent {
    EventType type = EventType::MouseMove;
    NativeId window = 0;
    POINT screen{};     // pointer in screen coordinates
    int button = 0;     // 1 left, 2 middle, 3 right
    UINT vk = 0;        // virtual-key code for key events
    UINT modifiers = 0; // MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL, and 0x1000 for Alt
    RECT screenRect{};
};

class Backend {
public:
    virtual ~Backend() = default;

    virtual NativeId Create(const NativeWindowDesc& desc) = 0;
    virtual void Destroy(NativeId id) = 0;
    virtual void SetTitle(NativeId, const std::string&) {}
    // argb: width * height pixels 0xAARRGGBB, rows top-down.
    virtual void SetIcon(NativeId, int, int, const std::vector<std::uint32_t>&) {}
    virtual void Move(NativeId id, const RECT& screenRect) = 0;
    virtual void Show(NativeId id, bool visible) = 0;
    // Gives the window the keyboard, as Windows gives it to the active window; one that is not
    // on the screen yet takes it when it appears. Returns once keys typed from then on reach
    // it, so a window that shows can be typed into at once.
    virtual void Activate(NativeId) {}
    // rects: y-x banded rectangles in window coordinates; an empty list with hasShape false
    // restores the plain rectangle. Sets both the visible and the input shape.
    virtual void SetShape(NativeId id, const std::vector<RECT>& rects, bool hasShape) = 0;
    // Shows `dirty` (window coordinates) of the window's finished pixels now. `pixels` holds
    // the part of the window whose top-left corner is `origin`, so a window can be shown a
    // band at a time; what `dirty` asks for beyond it is not shown.
    virtual void Present(NativeId id, const gdi::Surface& pixels, POINT origin,
                         const RECT& dirty) = 0;
    void Present(NativeId id, const gdi::Surface& pixels, const RECT& dirty) {
        Present(id, pixels, POINT{0, 0}, dirty);
    }
    // Waits up to timeoutMs (-1: forever) for one event. False on time-out.
    virtual bool WaitEvent(InputEvent& event, int timeoutMs) = 0;
    // Starts a window-manager move that follows the pointer until the button is released.
    // Returns false when the backend cannot, so the caller moves the window itself.
    virtual bool BeginMoveDrag(NativeId, POINT, int) { return false; }
    virtual RECT WorkArea() = 0;
    // The whole screen, what the desktop window covers.
    virtual RECT ScreenRect() { return WorkArea(); }
    virtual POINT CursorPos() = 0;
    // Input the program makes up (SendInput, SetCursorPos), taken as the devices' own: the
    // pointer moves to a screen point, a button (1 left, 2 middle, 3 right) or a key goes down
    // or up. False when this display cannot take made-up input of that kind.
    virtual bool InjectMove(POINT) { return false; }
    virtual bool InjectButton(int, bool) { return false; }
    virtual bool InjectKey(UINT, bool) { return false; }
    // Makes a WaitEvent blocked in another thread return early (false, as on a time-out), so
    // a message posted from another thread is seen at once. Safe to call from any thread.
    virtual void Wake() {}
};

// The process's display, created by CreateBackend on first use; nullptr when none is
// available. Windows, the message loop and the tests all reach the screen through it.
Backend* CurrentBackend();

// NERITH_DISPLAY=headless selects the in-memory screen; otherwise X11 when DISPLAY is set.
// Returns nullptr and writes a clear message to standard error when neither is available.
std::unique_ptr<Backend> CreateBackend();

} // namespace platform::display
