#include "BackendFixture.h"

namespace nerith::testing {
namespace {

using PlacementTest = BackendTest;

void ExpectRect(const std::optional<RECT>& actual, const RECT& expected) {
    ASSERT_TRUE(actual);
    EXPECT_EQ(actual->left, expected.left);
    EXPECT_EQ(actual->top, expected.top);
    EXPECT_EQ(actual->right, expected.right);
    EXPECT_EQ(actual->bottom, expected.bottom);
}

TEST_F(PlacementTest, ShowAndHideMapAndUnmapEveryKind) {
    for (WindowKind kind :
         {WindowKind::Normal, WindowKind::Dialog, WindowKind::Tooltip, WindowKind::Menu}) {
        SCOPED_TRACE(static_cast<int>(kind));
        const NativeId id = ShowWindow(RECT{20, 20, 120, 80}, kind);
        backend_->Show(id, false);
        EXPECT_TRUE(WaitUntilHidden(*session_, id, kShortWait));
        backend_->Show(id, true);
        EXPECT_TRUE(WaitUntilViewable(*session_, id, kShortWait));
        backend_->Destroy(id);
    }
}

TEST_F(PlacementTest, WindowsGoWhereTheyAreAskedWithoutAWindowManager) {
    const NativeId id = ShowWindow(RECT{123, 45, 323, 145});
    ExpectRect(session_->Geometry(id), RECT{123, 45, 323, 145});
    struct Case {
        RECT asked;
        RECT placed;
    };
    const Case cases[] = {
        {{500, 400, 620, 470}, {500, 400, 620, 470}},
        {{-30, -20, 70, 80}, {-30, -20, 70, 80}}, // partly off screen stays there
        {{10, 10, 10, 10}, {10, 10, 11, 11}},     // empty becomes one pixel
        {{50, 60, 40, 50}, {50, 60, 51, 61}},     // inverted becomes one pixel
    };
    for (const Case& c : cases) {
        backend_->Move(id, c.asked);
        Settle();
        ExpectRect(session_->Geometry(id), c.placed);
    }
    const auto hints = session_->Property32(id, "WM_NORMAL_HINTS");
    ASSERT_GE(hints.size(), 5u);
    EXPECT_EQ(static_cast<long>(hints[1]), 50); // the last position asked for
    EXPECT_EQ(static_cast<long>(hints[2]), 60);
}

TEST_F(PlacementTest, MovesByOthersAreReportedButOwnMovesAreNot) {
    const NativeId id = ShowWindow(RECT{100, 100, 300, 250});
    backend_->Move(id, RECT{150, 120, 350, 270});
    Settle();
    for (const InputEvent& e : Drain()) {
        EXPECT_NE(e.type, EventType::Moved);
    }
    session_->MoveWindow(id, POINT{400, 300});
    const auto moved = WaitForEvent(EventType::Moved, id);
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->screenRect.left, 400);
    EXPECT_EQ(moved->screenRect.top, 300);
    EXPECT_EQ(moved->screenRect.right, 600);
    EXPECT_EQ(moved->screenRect.bottom, 450);
}

TEST_F(PlacementTest, WithoutAWindowManagerTheCallerDragsTheWindow) {
    const NativeId id = ShowWindow(RECT{100, 100, 300, 250});
    EXPECT_FALSE(backend_->BeginMoveDrag(id, POINT{150, 150}, 1));
    // The pointer is still free for the caller's own pointer following.
    input_->Drag(POINT{150, 150}, POINT{250, 220});
    const auto up = WaitForEvent(EventType::ButtonUp, id);
    ASSERT_TRUE(up);
    EXPECT_EQ(up->screen.x, 250);
    EXPECT_EQ(up->screen.y, 220);
}

// The test session plays a window manager: a check window naming itself and _NET_SUPPORTED.
class MoveDragTest : public PlacementTest {
protected:
    XId PretendWindowManager(const std::vector<std::string>& supported) {
        const XId check = session_->CreatePlainWindow(RECT{0, 0, 1, 1}, true);
        session_->SetProperty32(check, "_NET_SUPPORTING_WM_CHECK", "WINDOW", {check});
        session_->SetProperty32(session_->Root(), "_NET_SUPPORTING_WM_CHECK", "WINDOW", {check});
        std::vector<unsigned long> atoms;
        atoms.reserve(supported.size());
        for (const auto& name : supported) {
            atoms.push_back(session_->InternAtom(name));
        }
        session_->SetProperty32(session_->Root(), "_NET_SUPPORTED", "ATOM", atoms);
        session_->WatchRootMessages();
        return check;
    }
};

TEST_F(MoveDragTest, AWindowManagerThatOffersMoveResizeGetsTheDrag) {
    const NativeId id = ShowWindow(RECT{100, 100, 300, 250});
    PretendWindowManager({"_NET_WM_NAME", "_NET_WM_MOVERESIZE"});
    ASSERT_TRUE(backend_->BeginMoveDrag(id, POINT{160, 170}, 1));
    const auto message = session_->NextRootMessage(kShortWait);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->type, "_NET_WM_MOVERESIZE");
    EXPECT_EQ(message->window, id);
    const std::array<long, 5> expected{160, 170, 8, 1, 1}; // x, y, move, button, application
    EXPECT_EQ(message->data, expected);
}

TEST_F(MoveDragTest, NoDragIsHandedToAWindowManagerThatCannotTakeIt) {
    const NativeId id = ShowWindow(RECT{100, 100, 300, 250});
    const XId check = PretendWindowManager({"_NET_WM_NAME"});
    EXPECT_FALSE(backend_->BeginMoveDrag(id, POINT{160, 170}, 1));
    session_->SetProperty32(session_->Root(), "_NET_SUPPORTED", "ATOM",
                            {session_->InternAtom("_NET_WM_MOVERESIZE")});
    EXPECT_FALSE(backend_->BeginMoveDrag(id, POINT{160, 170}, 4)); // not a drag button
    EXPECT_FALSE(backend_->BeginMoveDrag(id, POINT{160, 170}, 0));
    // A window manager that has ended leaves its properties behind.
    session_->DestroyWindow(check);
    EXPECT_FALSE(backend_->BeginMoveDrag(id, POINT{160, 170}, 1));
    EXPECT_FALSE(session_->NextRootMessage(std::chrono::milliseconds(100)));
}

TEST_F(PlacementTest, WorkAreaComesFromTheCurrentDesktopOrTheScreen) {
    const RECT screen = session_->ScreenRect();
    struct Case {
        const char* what;
        std::vector<unsigned long> areas;
        std::optional<unsigned long> desktop;
        RECT expected;
    };
    const Case cases[] = {
        {"no property", {}, std::nullopt, screen},
        {"one desktop", {0, 30, 1280, 960}, std::nullopt, {0, 30, 1280, 990}},
        {"second desktop", {0, 0, 100, 100, 64, 0, 1216, 1024}, 1, {64, 0, 1280, 1024}},
        {"desktop beyond the list", {0, 30, 1280, 960}, 3, screen},
        {"too short", {0, 30, 1280}, std::nullopt, screen},
        {"zero size", {0, 30, 0, 960}, std::nullopt, screen},
        {"larger than the screen", {0, 0, 5000, 5000}, std::nullopt, screen},
        {"negative origin", {0xFFFFFFF6, 0, 1000, 500}, std::nullopt, {0, 0, 990, 500}},
        {"off screen", {2000, 2000, 100, 100}, std::nullopt, screen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        session_->DeleteProperty(session_->Root(), "_NET_WORKAREA");
        session_->DeleteProperty(session_->Root(), "_NET_CURRENT_DESKTOP");
        if (!c.areas.empty()) {
            session_->SetProperty32(session_->Root(), "_NET_WORKAREA", "CARDINAL", c.areas);
        }
        if (c.desktop) {
            session_->SetProperty32(session_->Root(), "_NET_CURRENT_DESKTOP", "CARDINAL",
                                    {*c.desktop});
        }
        session_->Sync();
        const RECT area = backend_->WorkArea();
        EXPECT_EQ(area.left, c.expected.left);
        EXPECT_EQ(area.top, c.expected.top);
        EXPECT_EQ(area.right, c.expected.right);
        EXPECT_EQ(area.bottom, c.expected.bottom);
    }
}

TEST_F(PlacementTest, CursorPositionFollowsThePointer) {
    for (POINT p : {POINT{0, 0}, POINT{640, 512}, POINT{1279, 1023}}) {
        input_->MovePointer(p);
        const POINT at = backend_->CursorPos();
        EXPECT_EQ(at.x, p.x);
        EXPECT_EQ(at.y, p.y);
    }
}

} // namespace
} // namespace nerith::testing
