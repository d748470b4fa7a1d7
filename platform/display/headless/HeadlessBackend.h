// The virtual screen behind HeadlessScreen: native windows are records with a stored copy of
// their presented pixels; input is a queue that the injection calls fill.
#pragma once

#include "display/display.h"
#include "display/headless/HeadlessScreen.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

namespace platform::display {

class HeadlessBackend final : public Backend, public HeadlessScreen {
public:
    HeadlessBackend(int width, int height);

    NativeId Create(const NativeWindowDesc& desc) override;
    void Destroy(NativeId id) override;
    void SetTitle(NativeId id, const std::string& title) override;
    void SetIcon(NativeId id, int width, int height,
                 const std::vector<std::uint32_t>& argb) override;
    void Move(NativeId id, const RECT& screenRect) override;
    void Show(NativeId id, bool visible) override;
    void SetShape(NativeId id, const std::vector<RECT>& rects, bool hasShape) override;
    using Backend::Present;
    void Present(NativeId id, const gdi::Surface& pixels, POINT origin, const RECT& dirty) override;
    bool WaitEvent(InputEvent& event, int timeoutMs) override;
    RECT WorkArea() override;
    RECT ScreenRect() override;
    POINT CursorPos() override;
    void Wake() override;
    bool InjectMove(POINT screen) override;
    bool InjectButton(int button, bool down) override;
    bool InjectKey(UINT vk, bool down) override;

    Image Screenshot() const override;
    Image WindowPixels(NativeId id) const override;
    NativeId WindowAt(POINT screen) const override;
    bool IsShown(NativeId id) const override;
    RECT WindowRect(NativeId id) const override;
    std::string Title(NativeId id) const override;
    int IconWidth(NativeId id) const override;
    void SetWorkArea(const RECT& area) override;
    void MoveMouse(POINT screen) override;
    void PressButton(int button) override;
    void ReleaseButton(int button) override;
    void Click(POINT screen) override;
    void KeyDown(UINT vk, UINT modifiers) override;
    void KeyUp(UINT vk, UINT modifiers) override;
    void PressKey(UINT vk, UINT modifiers) override;
    void RequestClose(NativeId id) override;
    void DiscardInput() override;

private:
    struct Window {
        RECT rect{};
        WindowKind kind = WindowKind::Normal;
        bool shown = false;
        bool hasShape = false;
        std::vector<RECT> shape; // window coordinates
        Image image;             // the window's pixels, rect-sized
        std::string title;
        int iconWidth = 0;
    };

    const Window* Find(NativeId id) const;
    Window* Find(NativeId id);
    NativeId TopmostAt(POINT screen) const;
    NativeId KeyTarget() const;
    void Raise(NativeId id);
    void Push(InputEvent event);
    UINT ButtonMask() const;
    UINT HeldModifiers() const;

    const int width_;
    const int height_;
    RECT workArea_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool woken_ = false;
    std::map<NativeId, Window> windows_;
    std::vector<NativeId> stacking_; // bottom first
    std::deque<InputEvent> events_;
    NativeId nextId_ = 1;
    NativeId grab_ = 0; // the window that got the press, while a button is held
    POINT cursor_{};
    bool buttons_[4] = {};
    UINT keyModifiers_ = 0;
    bool heldKeys_[256] = {}; // keys made up by InjectKey that are down
};

} // namespace platform::display
