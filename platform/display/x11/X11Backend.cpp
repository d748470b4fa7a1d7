#include "X11Backend.h"

#include "Atoms.h"
#include "DisplayConnection.h"
#include "ErrorHandlers.h"
#include "EventSource.h"
#include "EventTranslation.h"
#include "MoveDrag.h"
#include "NativeWindow.h"
#include "ShapeRects.h"
#include "SurfaceUpload.h"
#include "VisualChoice.h"
#include "WindowProperties.h"
#include "WorkArea.h"

#include <cstdio>
#include <new>

namespace platform::display::x11 {

namespace {

bool TakesFocus(WindowKind kind) {
    return kind == WindowKind::Normal || kind == WindowKind::Dialog;
}

} // namespace

std::unique_ptr<X11Backend> X11Backend::Connect(const char* displayName) {
    auto connection = DisplayConnection::Open(displayName);
    if (!connection) {
        return nullptr;
    }
    auto visual = VisualChoice::ForScreen(connection->get(), connection->Screen());
    if (!visual) {
        std::fputs("nerith: the X display offers no TrueColor visual\n", stderr);
        return nullptr;
    }
    return std::unique_ptr<X11Backend>(new X11Backend(std::move(connection), std::move(visual)));
}

X11Backend::X11Backend(std::unique_ptr<DisplayConnection> connection,
                       std::unique_ptr<VisualChoice> visual)
    : connection_(std::move(connection)),
      atoms_(std::make_unique<Atoms>(Atoms::Intern(connection_->get()))),
      visual_(std::move(visual)), events_(std::make_unique<EventSource>(connection_->get())) {
    int eventBase = 0;
    int errorBase = 0;
    hasShape_ = XShapeQueryExtension(connection_->get(), &eventBase, &errorBase) != 0;
    if (!hasShape_) {
        std::fputs("nerith: the X display has no Shape extension; windows stay rectangular\n",
                   stderr);
    }
}

X11Backend::~X11Backend() {
    windows_.clear();
    visual_.reset();
}

NativeWindow* X11Backend::Find(NativeId id) {
    const auto found = windows_.find(id);
    return found == windows_.end() ? nullptr : found->second.get();
}

NativeId X11Backend::Create(const NativeWindowDesc& desc) {
    try {
        auto window =
            NativeWindow::Create(connection_->get(), connection_->Root(), *atoms_, *visual_, desc);
        if (!window) {
            return 0;
        }
        const NativeId id = window->id();
        windows_.emplace(id, std::move(window));
        return id;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

void X11Backend::Destroy(NativeId id) {
    if (focusWanted_ == id) {
        focusWanted_ = 0;
    }
    windows_.erase(id);
}

void X11Backend::SetTitle(NativeId id, const std::string& title) {
    if (NativeWindow* window = Find(id)) {
        x11::SetTitle(connection_->get(), *atoms_, window->id(), title);
    }
}

void X11Backend::SetIcon(NativeId id, int width, int height,
                         const std::vector<std::uint32_t>& argb) {
    NativeWindow* window = Find(id);
    if (window == nullptr) {
        return;
    }
    try {
        if (!x11::SetIcon(connection_->get(), *atoms_, window->id(), width, height, argb)) {
            std::fprintf(stderr, "nerith: icon of %d x %d with %zu pixels not set\n", width, height,
                         argb.size());
        }
    } catch (const std::bad_alloc&) {
        std::fputs("nerith: no memory for the window icon\n", stderr);
    }
}

void X11Backend::Move(NativeId id, const RECT& screenRect) {
    NativeWindow* window = Find(id);
    if (window == nullptr) {
        return;
    }
    const RECT rect = NormalizedRect(screenRect);
    window->set_rect(rect);
    // Before the window grows, so the server fills the new part from the picture.
    window->ResizePicture(rect.right - rect.left, rect.bottom - rect.top);
    SetPlacementHints(connection_->get(), window->id(), rect);
    XMoveResizeWindow(connection_->get(), window->id(), rect.left, rect.top,
                      static_cast<unsigned>(rect.right - rect.left),
                      static_cast<unsigned>(rect.bottom - rect.top));
    XFlush(connection_->get());
}

void X11Backend::Show(NativeId id, bool visible) {
    NativeWindow* window = Find(id);
    if (window == nullptr) {
        return;
    }
    if (visible) {
        XMapRaised(connection_->get(), window->id());
    } else {
        XWithdrawWindow(connection_->get(), window->id(), connection_->Screen());
    }
    XFlush(connection_->get());
}

void X11Backend::Activate(NativeId id) {
    NativeWindow* window = Find(id);
    if (window == nullptr || !TakesFocus(window->kind())) {
        return;
    }
    focusWanted_ = id;
    FocusIfViewable(*window);
}

void X11Backend::SetShape(NativeId id, const std::vector<RECT>& rects, bool hasShape) {
    NativeWindow* window = Find(id);
    if (window == nullptr || !hasShape_) {
        return;
    }
    Display* display = connection_->get();
    if (!hasShape) {
        XShapeCombineMask(display, window->id(), ShapeBounding, 0, 0, None, ShapeSet);
        XShapeCombineMask(display, window->id(), ShapeInput, 0, 0, None, ShapeSet);
        XFlush(display);
        return;
    }
    try {
        ShapeRects shape = ToShapeRects(rects);
        const int count = static_cast<int>(shape.rects.size());
        for (int kind : {ShapeBounding, ShapeInput}) {
            XShapeCombineRectangles(display, window->id(), kind, 0, 0, shape.rects.data(), count,
                                    ShapeSet, shape.ordering);
        }
        XFlush(display);
    } catch (const std::bad_alloc&) {
        std::fputs("nerith: no memory for the window shape\n", stderr);
    }
}

void X11Backend::Present(NativeId id, const gdi::Surface& pixels, POINT origin, const RECT& dirty) {
    NativeWindow* window = Find(id);
    if (window == nullptr) {
        return;
    }
    try {
        if (!UploadSurfaceRect(connection_->get(), window->target(), window->gc(),
                               visual_->format(), pixels, origin, dirty)) {
            std::fputs("nerith: surface pixels do not match its size; nothing shown\n", stderr);
            return;
        }
        window->ShowPicture(dirty);
        XFlush(connection_->get());
    } catch (const std::bad_alloc&) {
        std::fputs("nerith: no memory to show the window\n", stderr);
    }
}

// The trap's round trips order the focus change between the map before it and any key a
// user types after: a window that is shown is focused before it is drawn.
void X11Backend::FocusIfViewable(const NativeWindow& window) {
    Display* display = connection_->get();
    ScopedErrorTrap trap(display); // the window may be gone again already
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window.id(), &attributes) == 0 ||
        attributes.map_state != IsViewable) {
        return; // a window manager maps it later; OnMapped focuses it then
    }
    XSetInputFocus(display, window.id(), RevertToPointerRoot, CurrentTime);
}

void X11Backend::OnMapped(const NativeWindow& window) {
    if (window.id() == focusWanted_) {
        FocusIfViewable(window);
    }
}

bool X11Backend::WaitEvent(InputEvent& event, int timeoutMs) {
    const auto deadline = EventSource::DeadlineIn(timeoutMs);
    const TranslationContext context{connection_->get(), connection_->Root(), *atoms_};
    XEvent xevent;
    while (events_->Next(xevent, deadline)) {
        NativeWindow* window = Find(xevent.xany.window);
        if (window == nullptr) {
            continue;
        }
        if (xevent.type == MapNotify) {
            OnMapped(*window);
            continue;
        }
        if (TranslateEvent(context, xevent, *window, event)) {
            return true;
        }
    }
    return false;
}

bool X11Backend::BeginMoveDrag(NativeId id, POINT screen, int button) {
    NativeWindow* window = Find(id);
    if (window == nullptr) {
        return false;
    }
    return StartWindowManagerMove(connection_->get(), *atoms_, connection_->Root(), window->id(),
                                  screen, button);
}

RECT X11Backend::WorkArea() {
    return ReadWorkArea(connection_->get(), *atoms_, connection_->Screen());
}

RECT X11Backend::ScreenRect() {
    Display* display = connection_->get();
    const int screen = connection_->Screen();
    return RECT{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
}

POINT X11Backend::CursorPos() {
    Window root = 0;
    Window child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    XQueryPointer(connection_->get(), connection_->Root(), &root, &child, &rootX, &rootY, &x, &y,
                  &mask);
    return POINT{rootX, rootY};
}

void X11Backend::Wake() {
    events_->Wake();
}

// The server moves the pointer and reports the motion like a real one; made-up buttons and
// keys would need an extension this backend does not use, so it refuses them.
bool X11Backend::InjectMove(POINT screen) {
    XWarpPointer(connection_->get(), None, connection_->Root(), 0, 0, 0, 0, screen.x, screen.y);
    XFlush(connection_->get());
    return true;
}

} // namespace platform::display::x11

namespace platform::display {

std::unique_ptr<Backend> CreateX11Backend(const char* displayName) {
    try {
        return x11::X11Backend::Connect(displayName);
    } catch (const std::bad_alloc&) {
        std::fputs("nerith: no memory to open the X display\n", stderr);
        return nullptr;
    }
}

std::unique_ptr<Backend> CreateX11Backend() {
    return CreateX11Backend(nullptr);
}

} // namespace platform::display
