// A device context: where drawing goes (the bitmap selected into a memory DC, or a window's
// surface), the clip, and the selected brush, pen, font and text colours.
#pragma once

#include "Bitmap.h"
#include "DrawingObjects.h"
#include "platform/internal/surface.h"

#include <memory>

namespace platform::gdi {

class Font;

class DeviceContext : public GdiObject {
public:
    enum class Kind { Memory, Surface };

    explicit DeviceContext(Kind kind);
    ~DeviceContext() override;

    Kind GetKind() const { return kind_; }
    HDC Self() const { return self_; }
    void SetSelf(HDC self) { self_ = self; }

    // Pixels the DC draws into (may be empty) and the part of them drawing may touch, both in
    // device coordinates. Resolved at every call: a window surface can be resized meanwhile.
    PixelView View() const;
    // For reading: a bitmap's pixels stay shared with the bitmaps that share them.
    PixelView ReadView() const;
    RECT DeviceClip() const;
    POINT Origin() const { return origin_; }

    void AttachSurface(std::shared_ptr<Surface> surface, POINT origin, RECT clip);

    // Selection; each returns the previously selected handle, or nullptr when refused.
    HGDIOBJ SelectBitmap(HBITMAP h, std::shared_ptr<Bitmap> bitmap);
    HGDIOBJ SelectBrush(HGDIOBJ h, std::shared_ptr<Brush> brush);
    HGDIOBJ SelectPen(HGDIOBJ h, std::shared_ptr<Pen> pen);
    HGDIOBJ SelectFont(HGDIOBJ h, std::shared_ptr<Font> font);

    HGDIOBJ CurrentBitmap() const { return hBitmap_; }
    HGDIOBJ CurrentBrush() const { return hBrush_; }
    HGDIOBJ CurrentPen() const { return hPen_; }
    HGDIOBJ CurrentFont() const { return hFont_; }
    const std::shared_ptr<Brush>& GetBrush() const { return brush_; }
    const std::shared_ptr<Pen>& GetPen() const { return pen_; }
    const std::shared_ptr<Font>& GetFont() const { return font_; }

    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    POINT penPos{};

private:
    void ReleaseBitmap();

    Kind kind_;
    HDC self_ = nullptr;
    std::shared_ptr<Bitmap> bitmap_;
    HGDIOBJ hBitmap_ = nullptr;
    std::shared_ptr<Surface> surface_;
    POINT origin_{};
    RECT clip_{};
    std::shared_ptr<Brush> brush_;
    HGDIOBJ hBrush_ = nullptr;
    std::shared_ptr<Pen> pen_;
    HGDIOBJ hPen_ = nullptr;
    std::shared_ptr<Font> font_;
    HGDIOBJ hFont_ = nullptr;
};

std::shared_ptr<DeviceContext> FindDC(HDC hdc);

// Clips `r` to `clip`; false when nothing is left.
bool IntersectRects(RECT& r, const RECT& clip);

} // namespace platform::gdi
