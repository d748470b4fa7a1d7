// One top-level X window of the backend with the graphics context its pixels are drawn with.
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

    // Where the window is, as last asked for or reported by the server (screen coordinates).
    const RECT& rect() const { return rect_; }
    void set_rect(const RECT& rect) { rect_ = rect; }

    // Expose events come in runs; the run's union is reported once.
    void AddExposed(const RECT& rect);
    std::optional<RECT> TakeExposed();

private:
    NativeWindow(Display* display, Window window, GC gc, WindowKind kind, const RECT& rect)
        : display_(display), window_(window), gc_(gc), kind_(kind), rect_(rect) {}

    Display* display_;
    Window window_;
    GC gc_;
    WindowKind kind_;
    RECT rect_;
    std::optional<RECT> exposed_;
};

// An extent as X accepts it: at least 1, at most the protocol's limit.
unsigned int ClampedExtent(LONG from, LONG to);
// `rect` with the extents X will give the window.
RECT NormalizedRect(const RECT& rect);

} // namespace platform::display::x11
