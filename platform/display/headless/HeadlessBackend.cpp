#include "display/headless/HeadlessBackend.h"

#include "platform/user32.h"

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <iterator>

namespace platform::display {

namespace {

bool Contains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom) {
        return RECT{};
    }
    return r;
}

Image Blank(int width, int height, std::uint32_t fill) {
    Image image;
    image.width = std::max(width, 0);
    image.height = std::max(height, 0);
    image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, fill);
    return image;
}

// Keeps what overlaps, so a window that grows does not lose what it already showed.
void Resize(Image& image, int width, int height) {
    Image next = Blank(width, height, 0);
    const int w = std::min(width, image.width);
    const int h = w > 0 ? std::min(height, image.height) : 0;
    for (int y = 0; y < h; ++y) {
        std::copy_n(&image.pixels[static_cast<std::size_t>(y) * image.width], w,
                    &next.pixels[static_cast<std::size_t>(y) * next.width]);
    }
    image = std::move(next);
}

} // namespace

HeadlessBackend::HeadlessBackend(int width, int height)
    : width_(width), height_(height), workArea_{0, 0, width, height} {}

const HeadlessBackend::Window* HeadlessBackend::Find(NativeId id) const {
    const auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

HeadlessBackend::Window* HeadlessBackend::Find(NativeId id) {
    const auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

NativeId HeadlessBackend::Create(const NativeWindowDesc& desc) {
    std::lock_guard lock(mutex_);
    const NativeId id = nextId_++;
    Window& w = windows_[id];
    w.rect = desc.screenRect;
    w.kind = desc.kind;
    w.title = desc.title;
    w.image = Blank(desc.screenRect.right - desc.screenRect.left,
                    desc.screenRect.bottom - desc.screenRect.top, 0);
    stacking_.push_back(id);
    return id;
}

void HeadlessBackend::Destroy(NativeId id) {
    std::lock_guard lock(mutex_);
    windows_.erase(id);
    std::erase(stacking_, id);
    if (grab_ == id) {
        grab_ = 0;
    }
}

void HeadlessBackend::SetTitle(NativeId id, const std::string& title) {
    std::lock_guard lock(mutex_);
    if (Window* w = Find(id)) {
        w->title = title;
    }
}

void HeadlessBackend::SetIcon(NativeId id, int width, int, const std::vector<std::uint32_t>&) {
    std::lock_guard lock(mutex_);
    if (Window* w = Find(id)) {
        w->iconWidth = width;
    }
}

void HeadlessBackend::Move(NativeId id, const RECT& screenRect) {
    std::lock_guard lock(mutex_);
    if (Window* w = Find(id)) {
        w->rect = screenRect;
        Resize(w->image, screenRect.right - screenRect.left, screenRect.bottom - screenRect.top);
    }
}

void HeadlessBackend::Raise(NativeId id) {
    std::erase(stacking_, id);
    stacking_.push_back(id);
}

void HeadlessBackend::Show(NativeId id, bool visible) {
    std::lock_guard lock(mutex_);
    Window* w = Find(id);
    if (!w) {
        return;
    }
    w->shown = visible;
    if (visible) {
        Raise(id);
    }
}

void HeadlessBackend::SetShape(NativeId id, const std::vector<RECT>& rects, bool hasShape) {
    std::lock_guard lock(mutex_);
    if (Window* w = Find(id)) {
        w->hasShape = hasShape;
        w->shape = hasShape ? rects : std::vector<RECT>{};
    }
}

void HeadlessBackend::Present(NativeId id, const gdi::Surface& pixels, POINT origin,
                              const RECT& dirty) {
    std::lock_guard lock(mutex_);
    Window* w = Find(id);
    if (!w || pixels.pixels.size() < static_cast<std::size_t>(pixels.width) * pixels.height) {
        return;
    }
    const RECT held{origin.x, origin.y, origin.x + pixels.width, origin.y + pixels.height};
    const RECT area =
        Intersect(Intersect(dirty, held), RECT{0, 0, w->image.width, w->image.height});
    for (int y = area.top; y < area.bottom; ++y) {
        const auto* from = &pixels.pixels[static_cast<std::size_t>(y - origin.y) * pixels.width +
                                          static_cast<std::size_t>(area.left - origin.x)];
        auto* to = &w->image.pixels[static_cast<std::size_t>(y) * w->image.width];
        std::copy_n(from, area.right - area.left, to + area.left);
    }
}

bool HeadlessBackend::WaitEvent(InputEvent& event, int timeoutMs) {
    std::unique_lock lock(mutex_);
    const auto ready = [this] { return !events_.empty() || woken_; };
    if (timeoutMs < 0) {
        wake_.wait(lock, ready);
    } else {
        wake_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
    }
    woken_ = false;
    if (events_.empty()) {
        return false;
    }
    event = events_.front();
    events_.pop_front();
    return true;
}

RECT HeadlessBackend::WorkArea() {
    std::lock_guard lock(mutex_);
    return workArea_;
}

RECT HeadlessBackend::ScreenRect() {
    return RECT{0, 0, width_, height_};
}

POINT HeadlessBackend::CursorPos() {
    std::lock_guard lock(mutex_);
    return cursor_;
}

void HeadlessBackend::Wake() {
    std::lock_guard lock(mutex_);
    woken_ = true;
    wake_.notify_all();
}

Image HeadlessBackend::Screenshot() const {
    std::lock_guard lock(mutex_);
    Image screen = Blank(width_, height_, kDesktopColour);
    const RECT screenRect{0, 0, width_, height_};
    for (const NativeId id : stacking_) {
        const Window& w = windows_.at(id);
        if (!w.shown) {
            continue;
        }
        const std::vector<RECT> whole{RECT{0, 0, w.image.width, w.image.height}};
        for (const RECT& part : w.hasShape ? w.shape : whole) {
            const RECT local = Intersect(part, RECT{0, 0, w.image.width, w.image.height});
            const RECT onScreen =
                Intersect(RECT{local.left + w.rect.left, local.top + w.rect.top,
                               local.right + w.rect.left, local.bottom + w.rect.top},
                          screenRect);
            for (int y = onScreen.top; y < onScreen.bottom; ++y) {
                for (int x = onScreen.left; x < onScreen.right; ++x) {
                    screen.pixels[static_cast<std::size_t>(y) * width_ + x] =
                        w.image.At(x - w.rect.left, y - w.rect.top);
                }
            }
        }
    }
    return screen;
}

Image HeadlessBackend::WindowPixels(NativeId id) const {
    std::lock_guard lock(mutex_);
    const Window* w = Find(id);
    return w ? w->image : Image{};
}

NativeId HeadlessBackend::TopmostAt(POINT screen) const {
    for (auto it = stacking_.rbegin(); it != stacking_.rend(); ++it) {
        const Window& w = windows_.at(*it);
        if (!w.shown || !Contains(w.rect, screen)) {
            continue;
        }
        if (!w.hasShape) {
            return *it;
        }
        const POINT local{screen.x - w.rect.left, screen.y - w.rect.top};
        if (std::any_of(w.shape.begin(), w.shape.end(),
                        [&](const RECT& r) { return Contains(r, local); })) {
            return *it;
        }
    }
    return 0;
}

NativeId HeadlessBackend::WindowAt(POINT screen) const {
    std::lock_guard lock(mutex_);
    return TopmostAt(screen);
}

bool HeadlessBackend::IsShown(NativeId id) const {
    std::lock_guard lock(mutex_);
    const Window* w = Find(id);
    return w && w->shown;
}

RECT HeadlessBackend::WindowRect(NativeId id) const {
    std::lock_guard lock(mutex_);
    const Window* w = Find(id);
    return w ? w->rect : RECT{};
}

std::string HeadlessBackend::Title(NativeId id) const {
    std::lock_guard lock(mutex_);
    const Window* w = Find(id);
    return w ? w->title : std::string();
}

int HeadlessBackend::IconWidth(NativeId id) const {
    std::lock_guard lock(mutex_);
    const Window* w = Find(id);
    return w ? w->iconWidth : 0;
}

void HeadlessBackend::SetWorkArea(const RECT& area) {
    std::lock_guard lock(mutex_);
    workArea_ = area;
}

UINT HeadlessBackend::ButtonMask() const {
    return (buttons_[1] ? MK_LBUTTON : 0u) | (buttons_[2] ? MK_MBUTTON : 0u) |
           (buttons_[3] ? MK_RBUTTON : 0u) | keyModifiers_;
}

void HeadlessBackend::Push(InputEvent event) {
    events_.push_back(event);
    wake_.notify_all();
}

void HeadlessBackend::MoveMouse(POINT screen) {
    std::lock_guard lock(mutex_);
    cursor_ = screen;
    InputEvent e;
    e.type = EventType::MouseMove;
    e.window = grab_ ? grab_ : TopmostAt(screen);
    e.screen = screen;
    e.modifiers = ButtonMask();
    Push(e);
}

void HeadlessBackend::PressButton(int button) {
    std::lock_guard lock(mutex_);
    if (button < 1 || button > 3) {
        return;
    }
    const NativeId target = TopmostAt(cursor_);
    if (!grab_) {
        grab_ = target;
    }
    buttons_[button] = true;
    InputEvent e;
    e.type = EventType::ButtonDown;
    e.window = grab_;
    e.screen = cursor_;
    e.button = button;
    e.modifiers = ButtonMask();
    Push(e);
}

void HeadlessBackend::ReleaseButton(int button) {
    std::lock_guard lock(mutex_);
    if (button < 1 || button > 3) {
        return;
    }
    buttons_[button] = false;
    InputEvent e;
    e.type = EventType::ButtonUp;
    e.window = grab_ ? grab_ : TopmostAt(cursor_);
    e.screen = cursor_;
    e.button = button;
    e.modifiers = ButtonMask();
    if (!buttons_[1] && !buttons_[2] && !buttons_[3]) {
        grab_ = 0;
    }
    Push(e);
}

void HeadlessBackend::Click(POINT screen) {
    MoveMouse(screen);
    PressButton(1);
    ReleaseButton(1);
}

NativeId HeadlessBackend::KeyTarget() const {
    for (auto it = stacking_.rbegin(); it != stacking_.rend(); ++it) {
        const Window& w = windows_.at(*it);
        if (w.shown && (w.kind == WindowKind::Normal || w.kind == WindowKind::Dialog)) {
            return *it;
        }
    }
    return 0;
}

void HeadlessBackend::KeyDown(UINT vk, UINT modifiers) {
    std::lock_guard lock(mutex_);
    keyModifiers_ = modifiers;
    InputEvent e;
    e.type = EventType::KeyDown;
    e.window = KeyTarget();
    e.screen = cursor_;
    e.vk = vk;
    e.modifiers = ButtonMask();
    Push(e);
}

void HeadlessBackend::KeyUp(UINT vk, UINT modifiers) {
    std::lock_guard lock(mutex_);
    keyModifiers_ = modifiers;
    InputEvent e;
    e.type = EventType::KeyUp;
    e.window = KeyTarget();
    e.screen = cursor_;
    e.vk = vk;
    e.modifiers = ButtonMask();
    keyModifiers_ = 0;
    Push(e);
}

void HeadlessBackend::PressKey(UINT vk, UINT modifiers) {
    KeyDown(vk, modifiers);
    KeyUp(vk, modifiers);
}

void HeadlessBackend::RequestClose(NativeId id) {
    std::lock_guard lock(mutex_);
    InputEvent e;
    e.type = EventType::CloseRequest;
    e.window = id;
    Push(e);
}

void HeadlessBackend::DiscardInput() {
    std::lock_guard lock(mutex_);
    events_.clear();
    grab_ = 0;
    buttons_[1] = buttons_[2] = buttons_[3] = false;
    keyModifiers_ = 0;
    std::fill(std::begin(heldKeys_), std::end(heldKeys_), false);
}

bool HeadlessBackend::InjectMove(POINT screen) {
    MoveMouse(screen);
    return true;
}

bool HeadlessBackend::InjectButton(int button, bool down) {
    if (button < 1 || button > 3) {
        return false;
    }
    if (down) {
        PressButton(button);
    } else {
        ReleaseButton(button);
    }
    return true;
}

// Shift, Control and Alt made up as keys of their own hold for the keys and clicks that follow,
// as the real keys do.
UINT HeadlessBackend::HeldModifiers() const {
    const auto held = [this](std::initializer_list<UINT> keys) {
        return std::ranges::any_of(keys, [this](UINT vk) { return heldKeys_[vk]; });
    };
    return (held({VK_SHIFT, 0xA0u, 0xA1u}) ? MK_SHIFT : 0u) |
           (held({VK_CONTROL, 0xA2u, 0xA3u}) ? MK_CONTROL : 0u) |
           (held({VK_MENU, 0xA4u, 0xA5u}) ? 0x1000u : 0u);
}

bool HeadlessBackend::InjectKey(UINT vk, bool down) {
    if (vk == 0 || vk > 0xFF) {
        return false;
    }
    std::lock_guard lock(mutex_);
    heldKeys_[vk] = down;
    keyModifiers_ = HeldModifiers();
    InputEvent e;
    e.type = down ? EventType::KeyDown : EventType::KeyUp;
    e.window = KeyTarget();
    e.screen = cursor_;
    e.vk = vk;
    e.modifiers = ButtonMask();
    Push(e);
    return true;
}

} // namespace platform::display
