// An X11 backend connected to the fixture's private Xvfb, and helpers to make windows and
// to pump the backend's events.
#pragma once

#include "display/x11/X11Backend.h"
#include "x11/X11TestSupport.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace nerith::testing {

using platform::display::EventType;
using platform::display::InputEvent;
using platform::display::NativeId;
using platform::display::NativeWindowDesc;
using platform::display::WindowKind;

class BackendTest : public XvfbTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates, shows and waits until the server shows it.
    NativeId ShowWindow(const RECT& rect, WindowKind kind = WindowKind::Normal,
                        const std::string& title = "test window", NativeId owner = 0);
    // Waits until the server has handled every request of the backend (a round trip on its
    // connection), so the test's own connection sees the result.
    void Settle();
    // Fills the whole window with one colour through Present.
    void PaintSolid(NativeId id, const RECT& rect, std::uint32_t rgb);
    // Pumps the backend until an event of `type` for `window` (0: any) arrives.
    std::optional<InputEvent>
    WaitForEvent(EventType type, NativeId window = 0,
                 std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));
    // Every event that arrives within `quiet` of the previous one.
    std::vector<InputEvent> Drain(std::chrono::milliseconds quiet = std::chrono::milliseconds(100));

    std::unique_ptr<platform::display::Backend> backend_;
};

inline constexpr std::chrono::milliseconds kShortWait{2000};

} // namespace nerith::testing
