#include "Painting.h"

#include "Geometry.h"
#include "NonClient.h"
#include "ThreadState.h"
#include "platform/gdi32.h"
#include "platform/kernel32.h"

#include <algorithm>

namespace platform::user {

namespace {

// Small enough for the heap (see kPixelPagesFrom), so each band reuses the last one's memory.
constexpr int kBandBytes = 32 * 1024;
static_assert(kBandBytes < gdi::kPixelPagesFrom);

RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    return (r.left < r.right && r.top < r.bottom) ? r : RECT{};
}

bool Empty(const RECT& r) {
    return r.left >= r.right || r.top >= r.bottom;
}

RECT Union(const RECT& a, const RECT& b) {
    if (Empty(a)) {
        return b;
    }
    if (Empty(b)) {
        return a;
    }
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

RECT ClientBounds(const Window& window) {
    const RECT client = ClientArea(window);
    return RECT{0, 0, client.right - client.left, client.bottom - client.top};
}

std::shared_ptr<gdi::Surface> Resized(const std::shared_ptr<gdi::Surface>& old, int width,
                                      int height) {
    auto next = std::make_shared<gdi::Surface>(width, height, 0);
    if (!old || old->blank) {
        return next;
    }
    next->blank = false;
    const int w = std::min(width, old->width);
    const int h = w > 0 ? std::min(height, old->height) : 0;
    for (int y = 0; y < h; ++y) {
        std::copy_n(&old->pixels[static_cast<std::size_t>(y) * old->width], w,
                    &next->pixels[static_cast<std::size_t>(y) * width]);
    }
    return next;
}

// A blank surface is all zero and is not read: its pages need not exist yet.
void CopyPixels(gdi::Surface& to, const gdi::Surface& from, POINT at, const RECT& clip) {
    const RECT area = Intersect(clip, RECT{at.x, at.y, at.x + from.width, at.y + from.height});
    for (int y = area.top; y < area.bottom; ++y) {
        auto* dst = &to.pixels[static_cast<std::size_t>(y) * to.width];
        if (from.blank) {
            std::fill(dst + area.left, dst + area.right, 0u);
            continue;
        }
        const auto* src = &from.pixels[static_cast<std::size_t>(y - at.y) * from.width];
        std::copy(src + (area.left - at.x), src + (area.right - at.x), dst + area.left);
    }
}

// Draws the window at `at` (top-level coordinates), then its visible children over it.
void Compose(gdi::Surface& target, const Window& window, POINT at, const RECT& clip) {
    CopyPixels(target, *window.surface, at, clip);
    const RECT client = ClientArea(window);
    const POINT base{at.x + client.left, at.y + client.top};
    const RECT childClip =
        Intersect(clip, RECT{base.x, base.y, at.x + client.right, at.y + client.bottom});
    for (auto it = window.children.rbegin(); it != window.children.rend(); ++it) {
        const WindowPtr child = FindWindowObject(*it);
        if (child && child->Visible()) {
            Compose(target, *child, POINT{base.x + child->rect.left, base.y + child->rect.top},
                    childClip);
        }
    }
}

// Nothing has been drawn on the window or on any child it shows.
bool NothingDrawn(const Window& window) {
    if (!window.surface->blank) {
        return false;
    }
    return std::all_of(window.children.begin(), window.children.end(), [](HWND hwnd) {
        const WindowPtr child = FindWindowObject(hwnd);
        return !child || !child->Visible() || NothingDrawn(*child);
    });
}

// Composes the window with its children a band of rows at a time and shows each band, so no
// second whole copy of the window is kept.
void PresentComposed(const Window& top, const RECT& dirty) {
    const int width = dirty.right - dirty.left;
    const int height = dirty.bottom - dirty.top;
    const int bandRows = std::clamp(kBandBytes / (4 * width), 1, height);
    gdi::Surface band(width, bandRows);
    for (int y = dirty.top; y < dirty.bottom; y += bandRows) {
        const int rows = std::min(bandRows, static_cast<int>(dirty.bottom) - y);
        Compose(band, top, POINT{-dirty.left, -y}, RECT{0, 0, width, rows});
        platform::display::CurrentBackend()->Present(top.native, band, POINT{dirty.left, y},
                                                     RECT{dirty.left, y, dirty.right, y + rows});
    }
}

void PaintTree(const WindowPtr& window) {
    PaintNow(window);
    const std::vector<HWND> children = window->children;
    for (HWND child : children) {
        if (const WindowPtr c = FindWindowObject(child)) {
            PaintTree(c);
        }
    }
}

HWND FindInTree(const WindowPtr& window) {
    if (!window->Visible()) {
        return nullptr;
    }
    if (NeedsPaint(*window)) {
        return window->hwnd;
    }
    for (HWND child : window->children) {
        const WindowPtr c = FindWindowObject(child);
        const HWND found = c ? FindInTree(c) : nullptr;
        if (found) {
            return found;
        }
    }
    return nullptr;
}

// The DCs handed out by GetDC, so ReleaseDC knows what to show.
struct WindowDc {
    HDC hdc;
    HWND hwnd;
};

std::vector<WindowDc>& WindowDcs() {
    thread_local std::vector<WindowDc> dcs;
    return dcs;
}

HDC ScreenDc() {
    static const auto scratch = std::make_shared<gdi::Surface>(1, 1, 0);
    return platform::gdi::CreateSurfaceDC(scratch, POINT{0, 0}, RECT{0, 0, 1, 1});
}

void EraseNow(const WindowPtr& window) {
    if (!window->erase || !ReallyVisible(*window)) {
        return;
    }
    window->erase = false;
    const HDC dc = GetDC(window->hwnd);
    SendMessageA(window->hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(window->hwnd, dc);
}

} // namespace

bool ReallyVisible(const Window& window) {
    if (!window.Visible()) {
        return false;
    }
    const WindowPtr parent = window.IsChild() ? FindWindowObject(window.parent) : nullptr;
    return !window.IsChild() || (parent && ReallyVisible(*parent));
}

bool NeedsPaint(const Window& window) {
    return ReallyVisible(window) && (window.frameDirty || !Empty(window.update));
}

void InvalidateWhole(Window& window, bool erase) {
    window.update = ClientBounds(window);
    window.erase = window.erase || erase;
    window.frameDirty = true;
}

void ResizeSurface(Window& window) {
    window.surface = Resized(window.surface, window.Width(), window.Height());
    window.update = Intersect(window.update, ClientBounds(window));
}

void Present(HWND hwnd, const RECT& area) {
    const WindowPtr window = FindWindowObject(hwnd);
    const WindowPtr top = TopLevelOf(window);
    // X keeps nothing drawn into a window that is not shown; showing it presents it whole.
    if (!top || !top->native || !top->surface || !top->Visible()) {
        return;
    }
    const POINT origin = WindowOriginOnScreen(*window);
    const POINT topOrigin = WindowOriginOnScreen(*top);
    RECT dirty = area;
    OffsetRect(&dirty, origin.x - topOrigin.x, origin.y - topOrigin.y);
    dirty = Intersect(dirty, RECT{0, 0, top->Width(), top->Height()});
    // A window shown before it first paints has nothing to send yet.
    if (Empty(dirty) || NothingDrawn(*top)) {
        return;
    }
    PresentComposed(*top, dirty);
}

void PresentWhole(HWND hwnd) {
    const WindowPtr window = FindWindowObject(hwnd);
    if (window) {
        Present(hwnd, RECT{0, 0, window->Width(), window->Height()});
    }
}

void PaintNow(const WindowPtr& window) {
    if (!ReallyVisible(*window)) {
        return;
    }
    if (window->frameDirty) {
        window->frameDirty = false;
        SendMessageA(window->hwnd, WM_NCPAINT, 1, 0);
    }
    if (Empty(window->update) || !IsWindow(window->hwnd)) {
        return;
    }
    const std::uint32_t before = window->validations;
    SendMessageA(window->hwnd, WM_PAINT, 0, 0);
    // A window procedure that did not validate would otherwise be asked again for ever.
    if (window->validations == before) {
        window->update = RECT{};
        window->erase = false;
    }
}

HWND NextWindowToPaint(HWND filter) {
    if (filter) {
        const WindowPtr w = FindWindowObject(filter);
        return w ? FindInTree(w) : nullptr;
    }
    const auto self = std::this_thread::get_id();
    for (const WindowPtr& w : AllWindows()) {
        if (!w->IsChild() && w->thread == self) {
            if (const HWND found = FindInTree(w)) {
                return found;
            }
        }
    }
    return nullptr;
}

} // namespace platform::user

using namespace platform::user;

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    if (!hWnd) {
        for (const WindowPtr& w : AllWindows()) {
            if (!w->IsChild() && w->thread == std::this_thread::get_id()) {
                InvalidateWhole(*w, bErase);
            }
        }
        return TRUE;
    }
    const WindowPtr window = GetWindowObject(hWnd);
    if (!window) {
        return FALSE;
    }
    if (IsDesktop(*window)) {
        return TRUE; // the system repaints it, not this program
    }
    const RECT bounds = ClientBounds(*window);
    const RECT area = lpRect ? Intersect(*lpRect, bounds) : bounds;
    window->update = Union(window->update, area);
    window->erase = window->erase || (bErase && !Empty(area));
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect) {
    const WindowPtr window = GetWindowObject(hWnd);
    if (!window) {
        return FALSE;
    }
    if (IsDesktop(*window)) {
        return TRUE;
    }
    const RECT& u = window->update;
    if (!lpRect || (lpRect->left <= u.left && lpRect->top <= u.top && lpRect->right >= u.right &&
                    lpRect->bottom >= u.bottom)) {
        window->update = RECT{};
        window->erase = false;
    }
    ++window->validations;
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL) {
    const WindowPtr window = GetWindowObject(hWnd);
    if (!window) {
        return FALSE;
    }
    if (lpRect) {
        *lpRect = window->update;
    }
    return !Empty(window->update);
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    const WindowPtr window = GetChangeableWindow(hWnd);
    if (!window || !lpPaint) {
        return nullptr;
    }
    const RECT client = ClientArea(*window);
    const RECT paint = Intersect(window->update, ClientBounds(*window));
    const bool erase = window->erase;
    window->update = RECT{};
    window->erase = false;
    ++window->validations;
    RECT clip = paint;
    OffsetRect(&clip, client.left, client.top);
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc =
        platform::gdi::CreateSurfaceDC(window->surface, POINT{client.left, client.top}, clip);
    lpPaint->rcPaint = paint;
    if (erase && lpPaint->hdc) {
        lpPaint->fErase =
            !SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(lpPaint->hdc), 0);
    }
    return lpPaint->hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    const WindowPtr window = GetChangeableWindow(hWnd);
    if (!window || !lpPaint) {
        return FALSE;
    }
    if (lpPaint->hdc) {
        DeleteDC(lpPaint->hdc);
    }
    const RECT client = ClientArea(*window);
    RECT area = lpPaint->rcPaint;
    OffsetRect(&area, client.left, client.top);
    Present(hWnd, area);
    return TRUE;
}

HDC WINAPI GetDC(HWND hWnd) {
    if (!hWnd) {
        return ScreenDc();
    }
    const WindowPtr window = GetWindowObject(hWnd);
    if (!window) {
        return nullptr;
    }
    if (IsDesktop(*window)) {
        return ScreenDc();
    }
    const RECT client = ClientArea(*window);
    const HDC dc =
        platform::gdi::CreateSurfaceDC(window->surface, POINT{client.left, client.top}, client);
    if (dc) {
        WindowDcs().push_back(WindowDc{dc, hWnd});
    }
    return dc;
}

HDC WINAPI GetWindowDC(HWND hWnd) {
    const WindowPtr window = GetWindowObject(hWnd);
    if (!window) {
        return nullptr;
    }
    if (IsDesktop(*window)) {
        return ScreenDc();
    }
    const HDC dc = platform::gdi::CreateSurfaceDC(window->surface, POINT{0, 0},
                                                  RECT{0, 0, window->Width(), window->Height()});
    if (dc) {
        WindowDcs().push_back(WindowDc{dc, hWnd});
    }
    return dc;
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
    auto& dcs = WindowDcs();
    const auto it =
        std::find_if(dcs.begin(), dcs.end(), [&](const WindowDc& d) { return d.hdc == hDC; });
    if (it != dcs.end()) {
        dcs.erase(it);
    }
    if (!hDC || !DeleteDC(hDC)) {
        return 0;
    }
    if (hWnd) {
        PresentWhole(hWnd);
    }
    return 1;
}

BOOL WINAPI RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags) {
    const WindowPtr window = GetWindowObject(hWnd);
    if (!window) {
        return FALSE;
    }
    if (IsDesktop(*window)) {
        return TRUE;
    }
    if (flags & RDW_INVALIDATE) {
        RECT area{};
        if (hrgnUpdate) {
            GetRgnBox(hrgnUpdate, &area);
        }
        InvalidateRect(hWnd, hrgnUpdate ? &area : lprcUpdate, (flags & RDW_ERASE) != 0);
        if (flags & RDW_FRAME) {
            window->frameDirty = true;
        }
        if (flags & RDW_ALLCHILDREN) {
            for (HWND child : window->children) {
                RedrawWindow(child, nullptr, nullptr, flags & ~(RDW_UPDATENOW | RDW_ERASENOW));
            }
        }
    }
    if (flags & RDW_VALIDATE) {
        ValidateRect(hWnd, nullptr);
    }
    if (flags & RDW_UPDATENOW) {
        if (flags & RDW_NOCHILDREN) {
            PaintNow(window);
        } else {
            PaintTree(window);
        }
    } else if (flags & RDW_ERASENOW) {
        EraseNow(window);
    }
    return TRUE;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    return RedrawWindow(hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}
