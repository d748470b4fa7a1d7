#include "DeviceContext.h"

#include "Font.h"

#include <algorithm>
#include <utility>

namespace platform::gdi {

DeviceContext::DeviceContext(Kind kind)
    : GdiObject(kind == Kind::Memory ? OBJ_MEMDC : OBJ_DC), kind_(kind) {
    SelectBrush(StockObject(WHITE_BRUSH), Find<Brush>(StockObject(WHITE_BRUSH)));
    SelectPen(StockObject(BLACK_PEN), Find<Pen>(StockObject(BLACK_PEN)));
    HGDIOBJ font = StockObject(SYSTEM_FONT);
    if (font) {
        SelectFont(font, Find<Font>(font));
    }
    if (kind == Kind::Memory) {
        SelectBitmap(StockBitmap(), Find<Bitmap>(StockBitmap()));
    }
}

DeviceContext::~DeviceContext() {
    ReleaseBitmap();
}

void DeviceContext::ReleaseBitmap() {
    if (bitmap_ && bitmap_->selectedInto == self_) {
        bitmap_->selectedInto = nullptr;
    }
    bitmap_.reset();
}

PixelView DeviceContext::View() const {
    if (bitmap_) {
        return bitmap_->View();
    }
    if (!surface_ ||
        surface_->pixels.size() < static_cast<std::size_t>(surface_->width) * surface_->height) {
        return PixelView{};
    }
    // Whoever asks for the pixels may draw on them.
    surface_->blank = false;
    return PixelView{surface_->pixels.data(), surface_->width, surface_->width, surface_->height};
}

PixelView DeviceContext::ReadView() const {
    return bitmap_ ? bitmap_->ReadView() : View();
}

RECT DeviceContext::DeviceClip() const {
    const PixelView view = ReadView();
    RECT clip = view.Bounds();
    if (kind_ == Kind::Surface) {
        IntersectRects(clip, clip_);
    }
    return clip;
}

void DeviceContext::AttachSurface(std::shared_ptr<Surface> surface, POINT origin, RECT clip) {
    surface_ = std::move(surface);
    origin_ = origin;
    clip_ = clip;
}

HGDIOBJ DeviceContext::SelectBitmap(HBITMAP h, std::shared_ptr<Bitmap> bitmap) {
    if (kind_ != Kind::Memory || !bitmap) {
        return nullptr;
    }
    if (bitmap->selectedInto && bitmap->selectedInto != self_ && !bitmap->IsStock()) {
        return nullptr;
    }
    HGDIOBJ previous = hBitmap_;
    ReleaseBitmap();
    bitmap_ = std::move(bitmap);
    if (!bitmap_->IsStock()) {
        bitmap_->selectedInto = self_;
    }
    hBitmap_ = h;
    return previous;
}

HGDIOBJ DeviceContext::SelectBrush(HGDIOBJ h, std::shared_ptr<Brush> brush) {
    if (!brush) {
        return nullptr;
    }
    brush_ = std::move(brush);
    return std::exchange(hBrush_, h);
}

HGDIOBJ DeviceContext::SelectPen(HGDIOBJ h, std::shared_ptr<Pen> pen) {
    if (!pen) {
        return nullptr;
    }
    pen_ = std::move(pen);
    return std::exchange(hPen_, h);
}

HGDIOBJ DeviceContext::SelectFont(HGDIOBJ h, std::shared_ptr<Font> font) {
    if (!font) {
        return nullptr;
    }
    font_ = std::move(font);
    return std::exchange(hFont_, h);
}

std::shared_ptr<DeviceContext> FindDC(HDC hdc) {
    return Find<DeviceContext>(hdc);
}

bool IntersectRects(RECT& r, const RECT& clip) {
    r.left = std::max(r.left, clip.left);
    r.top = std::max(r.top, clip.top);
    r.right = std::min(r.right, clip.right);
    r.bottom = std::min(r.bottom, clip.bottom);
    return r.left < r.right && r.top < r.bottom;
}

} // namespace platform::gdi
