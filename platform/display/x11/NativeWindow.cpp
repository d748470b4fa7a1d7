#include "NativeWindow.h"

#include "ErrorHandlers.h"
#include "WindowProperties.h"

#include <algorithm>

namespace platform::display::x11 {

namespace {

constexpr long kEventMask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                            KeyReleaseMask | ExposureMask | StructureNotifyMask | FocusChangeMask |
                            LeaveWindowMask;

bool IsPopup(WindowKind kind) {
    return kind == WindowKind::Tooltip || kind == WindowKind::Menu;
}

Window CreateXWindow(Display* display, Window root, const VisualChoice& visual,
                     const NativeWindowDesc& desc) {
    XSetWindowAttributes attributes{};
    attributes.event_mask = kEventMask;
    // Popups bypass the window manager, as Windows shows them without a frame or focus change.
    attributes.override_redirect = IsPopup(desc.kind) ? True : False;
    attributes.save_under = IsPopup(desc.kind) ? True : False;
    attributes.colormap = visual.colormap();
    attributes.border_pixel = 0;
    attributes.background_pixmap = None;
    const RECT& r = desc.screenRect;
    return XCreateWindow(
        display, root, r.left, r.top, ClampedExtent(r.left, r.right),
        ClampedExtent(r.top, r.bottom), 0, visual.depth(), InputOutput, visual.visual(),
        CWEventMask | CWOverrideRedirect | CWSaveUnder | CWColormap | CWBorderPixel | CWBackPixmap,
        &attributes);
}

void Describe(Display* display, const Atoms& atoms, Window window, const NativeWindowDesc& desc) {
    SetIdentity(display, atoms, window);
    SetWindowType(display, atoms, window, desc.kind);
    if (!desc.decorated) {
        SetUndecorated(display, atoms, window);
    }
    if (desc.transientFor != 0) {
        SetOwner(display, window, static_cast<Window>(desc.transientFor));
    }
    SetTitle(display, atoms, window, desc.title);
    SetPlacementHints(display, window, desc.screenRect);
}

} // namespace

unsigned int ClampedExtent(LONG from, LONG to) {
    const long extent = long{to} - long{from};
    return static_cast<unsigned int>(std::clamp(extent, 1L, 32767L));
}

RECT NormalizedRect(const RECT& rect) {
    return RECT{rect.left, rect.top,
                static_cast<LONG>(rect.left + ClampedExtent(rect.left, rect.right)),
                static_cast<LONG>(rect.top + ClampedExtent(rect.top, rect.bottom))};
}

std::unique_ptr<NativeWindow> NativeWindow::Create(Display* display, Window root,
                                                   const Atoms& atoms, const VisualChoice& visual,
                                                   const NativeWindowDesc& desc) {
    ScopedErrorTrap trap(display);
    const Window window = CreateXWindow(display, root, visual, desc);
    if (window == 0 || trap.Failed()) {
        return nullptr;
    }
    GC gc = XCreateGC(display, window, 0, nullptr);
    auto native = std::unique_ptr<NativeWindow>(
        new NativeWindow(display, window, gc, desc.kind, NormalizedRect(desc.screenRect)));
    Describe(display, atoms, window, desc);
    return native;
}

NativeWindow::~NativeWindow() {
    if (ConnectionLost()) {
        return;
    }
    XFreeGC(display_, gc_);
    XDestroyWindow(display_, window_);
    XFlush(display_);
}

void NativeWindow::AddExposed(const RECT& rect) {
    if (!exposed_) {
        exposed_ = rect;
        return;
    }
    exposed_->left = std::min(exposed_->left, rect.left);
    exposed_->top = std::min(exposed_->top, rect.top);
    exposed_->right = std::max(exposed_->right, rect.right);
    exposed_->bottom = std::max(exposed_->bottom, rect.bottom);
}

std::optional<RECT> NativeWindow::TakeExposed() {
    std::optional<RECT> taken = exposed_;
    exposed_.reset();
    return taken;
}

} // namespace platform::display::x11
