#include "BackendFixture.h"

#include <thread>

namespace nerith::testing {
namespace {

constexpr RECT kRect{200, 150, 400, 300};
constexpr UINT kLButton = 0x0001, kRButton = 0x0002, kShift = 0x0004, kMButton = 0x0010;
constexpr UINT kAlt = 0x1000;

class InputEventsTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        // Away from the window: keys must reach it through the focus, not the pointer.
        input_->MovePointer(POINT{1000, 900});
        window_ = ShowWindow(kRect, WindowKind::Dialog, "input");
        backend_->Activate(window_);
        ASSERT_TRUE(WaitForEvent(EventType::FocusIn, window_)) << "activated window got no focus";
        Drain(std::chrono::milliseconds(30));
    }

    NativeId window_ = 0;
};

TEST_F(InputEventsTest, KeysArriveAsWindowsVirtualKeys) {
    struct Case {
        const char* keysym;
        UINT vk;
    };
    const Case cases[] = {
        {"Escape", 0x1B}, {"Return", 0x0D},    {"space", 0x20}, {"Tab", 0x09},
        {"a", 'A'},       {"z", 'Z'},          {"0", '0'},      {"7", '7'},
        {"Left", 0x25},   {"Up", 0x26},        {"Right", 0x27}, {"Down", 0x28},
        {"Alt_L", 0x12},  {"BackSpace", 0x08}, {"F1", 0x70},    {"Delete", 0x2E},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keysym);
        ASSERT_TRUE(input_->TapKey(c.keysym));
        const auto down = WaitForEvent(EventType::KeyDown, window_);
        const auto up = WaitForEvent(EventType::KeyUp, window_);
        ASSERT_TRUE(down && up);
        EXPECT_EQ(down->vk, c.vk);
        EXPECT_EQ(up->vk, c.vk);
    }
}

TEST_F(InputEventsTest, ModifiersDescribeTheStateAfterEachKey) {
    ASSERT_TRUE(input_->Chord({"Alt_L", "space"}));
    const auto events = Drain();
    struct Expected {
        EventType type;
        UINT vk;
        UINT modifiers;
    };
    const Expected expected[] = {
        {EventType::KeyDown, 0x12, kAlt},
        {EventType::KeyDown, 0x20, kAlt},
        {EventType::KeyUp, 0x20, kAlt},
        {EventType::KeyUp, 0x12, 0},
    };
    ASSERT_EQ(events.size(), std::size(expected));
    for (std::size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].type, expected[i].type) << i;
        EXPECT_EQ(events[i].vk, expected[i].vk) << i;
        EXPECT_EQ(events[i].modifiers, expected[i].modifiers) << i;
    }
    ASSERT_TRUE(input_->Chord({"Shift_L", "a"}));
    const auto shifted = WaitForEvent(EventType::KeyDown, window_);
    ASSERT_TRUE(shifted);
    EXPECT_EQ(shifted->vk, 0x10u);
    const auto letter = WaitForEvent(EventType::KeyDown, window_);
    ASSERT_TRUE(letter);
    EXPECT_EQ(letter->vk, UINT{'A'});
    EXPECT_EQ(letter->modifiers, kShift);
}

TEST_F(InputEventsTest, ButtonsReportScreenPositionAndButtonState) {
    struct Case {
        int button;
        UINT flag;
    };
    const Case cases[] = {{1, kLButton}, {2, kMButton}, {3, kRButton}};
    const POINT at{kRect.left + 17, kRect.top + 23};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        input_->Click(at, c.button);
        const auto down = WaitForEvent(EventType::ButtonDown, window_);
        const auto up = WaitForEvent(EventType::ButtonUp, window_);
        ASSERT_TRUE(down && up);
        EXPECT_EQ(down->button, c.button);
        EXPECT_EQ(down->screen.x, at.x);
        EXPECT_EQ(down->screen.y, at.y);
        EXPECT_EQ(down->modifiers, c.flag);
        EXPECT_EQ(up->button, c.button);
        EXPECT_EQ(up->modifiers, 0u);
    }
}

TEST_F(InputEventsTest, WheelButtonsAreNotClicks) {
    const POINT at{kRect.left + 5, kRect.top + 5};
    input_->Click(at, 4);
    input_->Click(at, 5);
    input_->Click(at, 1);
    const auto down = WaitForEvent(EventType::ButtonDown, window_);
    ASSERT_TRUE(down);
    EXPECT_EQ(down->button, 1);
}

TEST_F(InputEventsTest, RunsOfMotionFoldIntoTheirLastPosition) {
    constexpr int kMoves = 60;
    for (int i = 0; i < kMoves; ++i) {
        input_->MovePointer(POINT{kRect.left + 10 + i, kRect.top + 10 + i / 2});
    }
    std::vector<InputEvent> moves;
    for (const InputEvent& e : Drain()) {
        if (e.type == EventType::MouseMove) {
            moves.push_back(e);
        }
    }
    ASSERT_FALSE(moves.empty());
    EXPECT_LT(moves.size(), static_cast<std::size_t>(kMoves / 2));
    EXPECT_EQ(moves.back().screen.x, kRect.left + 10 + kMoves - 1);
    EXPECT_EQ(moves.back().screen.y, kRect.top + 10 + (kMoves - 1) / 2);
}

TEST_F(InputEventsTest, LeavingTheWindowReportsWhereThePointerWent) {
    input_->MovePointer(POINT{kRect.left + 50, kRect.top + 50});
    Drain(std::chrono::milliseconds(30));
    input_->MovePointer(POINT{kRect.right + 40, kRect.bottom + 30});
    const auto move = WaitForEvent(EventType::MouseMove, window_);
    ASSERT_TRUE(move);
    EXPECT_EQ(move->screen.x, kRect.right + 40);
    EXPECT_EQ(move->screen.y, kRect.bottom + 30);
}

TEST_F(InputEventsTest, DeleteWindowMessagesBecomeCloseRequests) {
    const auto protocols =
        std::array<long, 5>{static_cast<long>(session_->InternAtom("WM_TAKE_FOCUS")), 0, 0, 0, 0};
    ASSERT_TRUE(session_->SendClientMessage(window_, "WM_PROTOCOLS", protocols));
    ASSERT_TRUE(session_->SendClientMessage(window_, "SOMETHING_ELSE", {}));
    EXPECT_FALSE(WaitForEvent(EventType::CloseRequest, window_, std::chrono::milliseconds(200)));
    const auto remove = std::array<long, 5>{
        static_cast<long>(session_->InternAtom("WM_DELETE_WINDOW")), 0, 0, 0, 0};
    ASSERT_TRUE(session_->SendClientMessage(window_, "WM_PROTOCOLS", remove));
    EXPECT_TRUE(WaitForEvent(EventType::CloseRequest, window_));
}

TEST_F(InputEventsTest, PopupsDoNotTakeTheFocus) {
    const NativeId tip = ShowWindow(RECT{10, 10, 60, 30}, WindowKind::Tooltip, "tip");
    Drain(std::chrono::milliseconds(30));
    ASSERT_TRUE(input_->TapKey("Escape"));
    const auto down = WaitForEvent(EventType::KeyDown);
    ASSERT_TRUE(down);
    EXPECT_EQ(down->window, window_);
    EXPECT_NE(down->window, tip);
}

TEST_F(InputEventsTest, WaitingTimesOutNeitherEarlyNorLate) {
    using namespace std::chrono;
    InputEvent event;
    const auto start = steady_clock::now();
    EXPECT_FALSE(backend_->WaitEvent(event, 150));
    const auto waited = duration_cast<milliseconds>(steady_clock::now() - start).count();
    EXPECT_GE(waited, 145);
    EXPECT_LT(waited, 1000);
    const auto again = steady_clock::now();
    EXPECT_FALSE(backend_->WaitEvent(event, 0));
    EXPECT_LT(duration_cast<milliseconds>(steady_clock::now() - again).count(), 50);
}

TEST_F(InputEventsTest, WakeEndsAWaitFromAnotherThread) {
    using namespace std::chrono;
    InputEvent event;
    backend_->Wake(); // a wake before the wait is not lost
    const auto first = steady_clock::now();
    EXPECT_FALSE(backend_->WaitEvent(event, 5000));
    EXPECT_LT(duration_cast<milliseconds>(steady_clock::now() - first).count(), 1000);

    std::thread waker([&] {
        std::this_thread::sleep_for(milliseconds(100));
        backend_->Wake();
    });
    const auto start = steady_clock::now();
    EXPECT_FALSE(backend_->WaitEvent(event, -1));
    const auto waited = duration_cast<milliseconds>(steady_clock::now() - start).count();
    waker.join();
    EXPECT_GE(waited, 90);
    EXPECT_LT(waited, 2000);
    // Events still arrive after a wake.
    input_->Click(POINT{kRect.left + 1, kRect.top + 1});
    EXPECT_TRUE(WaitForEvent(EventType::ButtonDown, window_));
}

TEST_F(InputEventsTest, AnEventEndsAnEndlessWait) {
    input_->Click(POINT{kRect.left + 1, kRect.top + 1});
    InputEvent event;
    ASSERT_TRUE(backend_->WaitEvent(event, -1));
    EXPECT_EQ(event.window, window_);
}

} // namespace
} // namespace nerith::testing
