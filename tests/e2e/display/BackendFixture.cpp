#include "BackendFixture.h"

#include "platform/internal/surface.h"

namespace nerith::testing {

void BackendTest::SetUp() {
    XvfbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    backend_ = platform::display::CreateX11Backend(server_->DisplayName().c_str());
    ASSERT_TRUE(backend_) << "the backend cannot open " << server_->DisplayName();
}

void BackendTest::TearDown() {
    backend_.reset();
    XvfbTest::TearDown();
}

NativeId BackendTest::ShowWindow(const RECT& rect, WindowKind kind, const std::string& title,
                                 NativeId owner) {
    NativeWindowDesc desc;
    desc.screenRect = rect;
    desc.kind = kind;
    desc.title = title;
    desc.transientFor = owner;
    const NativeId id = backend_->Create(desc);
    EXPECT_NE(id, 0u);
    backend_->Show(id, true);
    EXPECT_TRUE(WaitUntilViewable(*session_, id, kShortWait)) << "window never mapped";
    return id;
}

void BackendTest::Settle() {
    backend_->CursorPos();
    session_->Sync();
}

void BackendTest::PaintSolid(NativeId id, const RECT& rect, std::uint32_t rgb) {
    platform::gdi::Surface surface(rect.right - rect.left, rect.bottom - rect.top, rgb);
    backend_->Present(id, surface, RECT{0, 0, surface.width, surface.height});
    Settle();
}

std::optional<InputEvent> BackendTest::WaitForEvent(EventType type, NativeId window,
                                                    std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return std::nullopt;
        }
        InputEvent event;
        if (!backend_->WaitEvent(event, static_cast<int>(left.count()))) {
            return std::nullopt;
        }
        if (event.type == type && (window == 0 || event.window == window)) {
            return event;
        }
    }
}

std::vector<InputEvent> BackendTest::Drain(std::chrono::milliseconds quiet) {
    std::vector<InputEvent> events;
    InputEvent event;
    while (backend_->WaitEvent(event, static_cast<int>(quiet.count()))) {
        events.push_back(event);
    }
    return events;
}

} // namespace nerith::testing
