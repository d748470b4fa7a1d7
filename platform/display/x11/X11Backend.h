// The display backend for a real X server: Xlib and the Shape extension, no toolkit.
// Native ids are X window ids. Expose events carry the exposed area in screen coordinates.
// An activated normal or dialog window takes the X input focus before Activate returns (or
// when it is mapped), since without a window manager nobody else would give it to it.
// Override-redirect popups never take it.
#pragma once

#include "display/display.h"

#include <map>
#include <memory>

namespace platform::display::x11 {

class DisplayConnection;
class VisualChoice;
class NativeWindow;
class EventSource;
struct Atoms;

class X11Backend final : public Backend {
public:
    // nullptr, with a message on standard error, when the display cannot be used.
    static std::unique_ptr<X11Backend> Connect(const char* displayName);
    ~X11Backend() override;

    NativeId Create(const NativeWindowDesc& desc) override;
    void Destroy(NativeId id) override;
    void SetTitle(NativeId id, const std::string& title) override;
    void SetIcon(NativeId id, int width, int height,
                 const std::vector<std::uint32_t>& argb) override;
    void Move(NativeId id, const RECT& screenRect) override;
    void Show(NativeId id, bool visible) override;
    void Activate(NativeId id) override;
    void SetShape(NativeId id, const std::vector<RECT>& rects, bool hasShape) override;
    using Backend::Present;
    void Present(NativeId id, const gdi::Surface& pixels, POINT origin, const RECT& dirty) override;
    bool WaitEvent(InputEvent& event, int timeoutMs) override;
    bool BeginMoveDrag(NativeId id, POINT screen, int button) override;
    RECT WorkArea() override;
    RECT ScreenRect() override;
    POINT CursorPos() override;
    void Wake() override;
    bool InjectMove(POINT screen) override;

private:
    X11Backend(std::unique_ptr<DisplayConnection> connection, std::unique_ptr<VisualChoice> visual);
    NativeWindow* Find(NativeId id);
    void OnMapped(const NativeWindow& window);
    void FocusIfViewable(const NativeWindow& window);

    // Declared first so it is closed last.
    std::unique_ptr<DisplayConnection> connection_;
    std::unique_ptr<Atoms> atoms_;
    std::unique_ptr<VisualChoice> visual_;
    std::unique_ptr<EventSource> events_;
    bool hasShape_ = false;
    NativeId focusWanted_ = 0; // the window last activated
    std::map<NativeId, std::unique_ptr<NativeWindow>> windows_;
};

} // namespace platform::display::x11

namespace platform::display {

// Uses the DISPLAY environment variable.
std::unique_ptr<Backend> CreateX11Backend();
std::unique_ptr<Backend> CreateX11Backend(const char* displayName);

} // namespace platform::display
