#include "NativeWindow.h"

#include "ErrorHandlers.h"
#include "WindowProperties.h"

#include <algorithm>

namespace platform::display::x11 {

namespace {

constexpr long kEventMask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                            KeyReleaseMask | ExposureMask | StructureNotifyMask | FocusChangeMask |
                            LeaveWindowMask;

// Larger windows are shown without a kept picture rather than costing the server this much.
constexpr long kMaxPicturePixels = 4096L * 4096L;

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
    if (window == 0) {
        return nullptr;
    }
    // Copies between the picture and the window need no exposure events.
    XGCValues values{};
    values.graphics_exposures = False;
    GC gc = XCreateGC(display, window, GCGraphicsExposures, &values);
    const RECT rect = NormalizedRect(desc.screenRect);
    auto native = std::unique_ptr<NativeWindow>(
        new NativeWindow(display, window, gc, desc.kind, rect, visual.depth()));
    native->ResizePicture(rect.right - rect.left, rect.bottom - rect.top);
    Describe(display, atoms, window, desc);
    // One wait for the window and its description together.
    if (trap.Failed()) {
        return nullptr;
    }
    return native;
}

NativeWindow::~NativeWindow() {
    if (ConnectionLost()) {
        return;
    }
    XFreeGC(display_, gc_);
    XDestroyWindow(display_, window_);
    if (picture_ != 0) {
        XFreePixmap(display_, picture_);
    }
    XFlush(display_);
}

// A black picture of the window's depth; 0 when it is too large or the server refuses it.
Pixmap NativeWindow::NewPicture(int width, int height) {
    if (long{width} * height > kMaxPicturePixels) {
        return 0;
    }
    ScopedErrorTrap trap(display_);
    const Pixmap picture =
        XCreatePixmap(display_, window_, static_cast<unsigned>(width),
                      static_cast<unsigned>(height), static_cast<unsigned>(depth_));
    if (trap.Failed()) {
        return 0;
    }
    XSetForeground(display_, gc_, 0);
    XFillRectangle(display_, picture, gc_, 0, 0, static_cast<unsigned>(width),
                   static_cast<unsigned>(height));
    return picture;
}

void NativeWindow::ResizePicture(int width, int height) {
    if (picture_ != 0 && width == pictureWidth_ && height == pictureHeight_) {
        return;
    }
    const Pixmap next = NewPicture(width, height);
    if (next != 0 && picture_ != 0) {
        XCopyArea(display_, picture_, next, gc_, 0, 0,
                  static_cast<unsigned>(std::min(width, pictureWidth_)),
                  static_cast<unsigned>(std::min(height, pictureHeight_)), 0, 0);
    }
    XSetWindowBackgroundPixmap(display_, window_, next != 0 ? next : None);
    if (picture_ != 0) {
        XFreePixmap(display_, picture_);
    }
    picture_ = next;
    pictureWidth_ = next != 0 ? width : 0;
    pictureHeight_ = next != 0 ? height : 0;
}

void NativeWindow::ShowPicture(const RECT& rect) {
    const int left = std::max<int>(rect.left, 0);
    const int top = std::max<int>(rect.top, 0);
    const int right = std::min<int>(rect.right, pictureWidth_);
    const int bottom = std::min<int>(rect.bottom, pictureHeight_);
    if (picture_ == 0 || right <= left || bottom <= top) {
        return;
    }
    XCopyArea(display_, picture_, window_, gc_, left, top, static_cast<unsigned>(right - left),
              static_cast<unsigned>(bottom - top), left, top);
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
