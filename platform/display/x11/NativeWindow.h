// One top-level X window of the backend with the graphics context its pixels are drawn with,
// and a server-side copy of what was last presented. That copy is the window's background, so
// the server itself repaints a part that is uncovered, as the Windows compositor does, also
// while the program is busy and reads no events.
#pragma once

#include "Atoms.h"
#include "VisualChoice.h"
#include "display/display.h"

#include <memory>
#include <optional>

namespace platform::display::x11 {

class NativeWindow {
public:
    // nullptr when the server refuses the window.
    static std::unique_ptr<NativeWindow> Create(Display* display, Window root, const Atoms& atoms,
                                                const VisualChoice& visual,
                                                const NativeWindowDesc& desc);
    ~NativeWindow();
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    Window id() const { return window_; }
    GC gc() const { return gc_; }
    WindowKind kind() const { return kind_; }
    // Where presented pixels go: the kept picture, or the window itself when the server has
    // no room for a picture of its size.
    Drawable target() const { return picture_ != 0 ? picture_ : window_; }
    // Shows `rect` (window coordinates) of the kept picture; nothing to do without one.
    void ShowPicture(const RECT& rect);
    // Gives the kept picture the window's new size, keeping what overlaps.
    void ResizePicture(int width, int height);

    // Where the window is, as last asked for or reported by the server (screen coordinates).
    const RECT& rect() const { return rect_; }
    void set_rect(const RECT& rect) { rect_ = rect; }

    // Expose events come in runs; the run's union is reported once.
    void AddExposed(const RECT& rect);
    std::optional<RECT> TakeExposed();

private:
    NativeWindow(Display* display, Window window, GC gc, WindowKind kind, const RECT& rect,
                 int depth)
        : display_(display), window_(window), gc_(gc), kind_(kind), rect_(rect), depth_(depth) {}
    Pixmap NewPicture(int width, int height);

    Display* display_;
    Window window_;
    GC gc_;
    WindowKind kind_;
    RECT rect_;
    int depth_;
    Pixmap picture_ = 0;
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
    std::optional<RECT> exposed_;
};

// An extent as X accepts it: at least 1, at most the protocol's limit.
unsigned int ClampedExtent(LONG from, LONG to);
// `rect` with the extents X will give the window.
RECT NormalizedRect(const RECT& rect);

} // namespace platform::display::x11
