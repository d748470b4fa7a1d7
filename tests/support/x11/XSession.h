// A test's own connection to an X server, and what a test reads or changes through it:
// properties, geometry, shapes, client messages. Window ids are X ids (XId). Every call that
// touches a window that may be gone traps the X error instead of ending the test process.
#pragma once

#include "platform/wintypes.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct _XDisplay;

namespace nerith::testing {

using XId = unsigned long;

enum class ShapeKind { Bounding, Input };

struct RootMessage {
    XId window = 0;
    std::string type;
    std::array<long, 5> data{};
};

class XSession {
public:
    // nullptr when the display cannot be opened.
    static std::unique_ptr<XSession> Open(const std::string& displayName);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    _XDisplay* display() const { return display_; }
    XId Root() const;
    RECT ScreenRect() const;
    int Depth() const;
    // Waits until the server has handled every request so far.
    void Sync();

    // Properties. Text comes back as stored (UTF8_STRING, STRING or other 8-bit types).
    std::optional<std::string> TextProperty(XId window, const std::string& name);
    // Format-32 values of any type; empty when absent.
    std::vector<unsigned long> Property32(XId window, const std::string& name);
    std::vector<std::string> AtomProperty(XId window, const std::string& name);
    std::optional<std::string> PropertyType(XId window, const std::string& name);
    void SetProperty32(XId window, const std::string& name, const std::string& type,
                       const std::vector<unsigned long>& values);
    void DeleteProperty(XId window, const std::string& name);
    std::string AtomName(unsigned long atom);
    unsigned long InternAtom(const std::string& name);

    // Geometry in root coordinates; nullopt when the window is gone.
    std::optional<RECT> Geometry(XId window);
    bool IsMapped(XId window);
    bool IsOverrideRedirect(XId window);
    std::optional<XId> TransientFor(XId window);
    // The window that has the keyboard: an X window id, kPointerRoot or 0 (none).
    XId KeyboardFocus();
    static constexpr XId kPointerRoot = 1;
    // Shape rectangles in window coordinates; a window without a shape gives its own
    // rectangle, a gone window nothing.
    std::vector<RECT> ShapeRects(XId window, ShapeKind kind);

    // Acts as another client (a window manager, say) would.
    void MoveWindow(XId window, POINT to);
    XId CreatePlainWindow(const RECT& rect, bool overrideRedirect);
    void DestroyWindow(XId window);
    void MapWindow(XId window);
    void UnmapWindow(XId window);
    // Paints with a colour the server allocates, independent of any pixel arithmetic of ours.
    void FillRect(XId window, const RECT& rect, std::uint32_t rgb);
    bool SendClientMessage(XId window, const std::string& type, const std::array<long, 5>& data);
    // Receives client messages sent to the root window for a window manager to handle.
    void WatchRootMessages();
    std::optional<RootMessage> NextRootMessage(std::chrono::milliseconds timeout);

private:
    explicit XSession(_XDisplay* display) : display_(display) {}
    _XDisplay* display_;
};

void WaitABit();

// Polls `condition` every few milliseconds until it holds or `timeout` passes.
template <typename Condition> bool WaitFor(Condition condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        WaitABit();
    }
}

} // namespace nerith::testing
