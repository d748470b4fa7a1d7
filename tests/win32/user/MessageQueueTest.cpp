// Sent messages run inside the call; posted ones wait for the loop, in order, ahead of the
// quit message; other threads' posts and sends reach the window's own thread.
#include "Win32Test.h"

#include <thread>

using namespace win32test;

namespace {

constexpr UINT kPing = WM_USER + 10;

class MessageQueueTest : public WindowTest {};

TEST_F(MessageQueueTest, SendIsHandledInsideTheCallAndReturnsTheAnswer) {
    const HWND w = CreateLogWindow(WS_POPUP, 0, 0, 10, 10);
    MessageLog::Get().hook = [](HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
        if (msg != kPing) {
            return false;
        }
        result = static_cast<LRESULT>(wParam * 2);
        return true;
    };
    MessageLog::Get().Clear();
    EXPECT_EQ(SendMessageA(w, kPing, 21, 0), 42);
    EXPECT_EQ(MessageLog::Get().Of(w, {kPing}), std::vector<UINT>{kPing});
    DestroyWindow(w);
}

TEST_F(MessageQueueTest, PostedMessagesWaitForTheLoopAndKeepTheirOrder) {
    const HWND w = CreateLogWindow(WS_POPUP, 0, 0, 10, 10);
    Pump();
    MessageLog::Get().Clear();
    ASSERT_TRUE(PostMessageA(w, kPing, 1, 0));
    ASSERT_TRUE(PostMessageA(w, kPing + 1, 2, 0));
    EXPECT_TRUE(MessageLog::Get().Of(w).empty()) << "a posted message ran before the loop";
    Pump();
    EXPECT_EQ(MessageLog::Get().Of(w, {kPing, kPing + 1}), (std::vector<UINT>{kPing, kPing + 1}));
    DestroyWindow(w);
}

TEST_F(MessageQueueTest, QuitComesAfterMessagesPostedBeforeIt) {
    const HWND w = CreateLogWindow(WS_POPUP, 0, 0, 10, 10);
    PostQuitMessage(7);
    PostMessageA(w, kPing, 0, 0);
    MSG msg{};
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, kPing);
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "one quit message was retrieved twice";
    DestroyWindow(w);
}

TEST_F(MessageQueueTest, PeekWithoutRemoveLeavesTheMessage) {
    const HWND w = CreateLogWindow(WS_POPUP, 0, 0, 10, 10);
    PostMessageA(w, kPing, 5, 0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, w, kPing, kPing, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, w, kPing, kPing, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_FALSE(PeekMessageA(&msg, w, kPing, kPing, PM_REMOVE));
    DestroyWindow(w);
}

TEST_F(MessageQueueTest, MessagesOfADestroyedWindowAreDropped) {
    const HWND w = CreateLogWindow(WS_POPUP, 0, 0, 10, 10);
    PostMessageA(w, kPing, 0, 0);
    DestroyWindow(w);
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, kPing, kPing, PM_REMOVE));
    EXPECT_FALSE(PostMessageA(w, kPing, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(SendMessageA(w, kPing, 0, 0), 0);
}

TEST_F(MessageQueueTest, AnotherThreadsPostWakesAWaitingLoop) {
    const HWND w = CreateLogWindow(WS_POPUP, 0, 0, 10, 10);
    std::thread poster([w] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        PostMessageA(w, kPing, 9, 0);
    });
    MSG msg{};
    ASSERT_TRUE(GetMessageA(&msg, w, kPing, kPing));
    EXPECT_EQ(msg.wParam, 9u);
    poster.join();
    DestroyWindow(w);
}

TEST_F(MessageQueueTest, AnotherThreadsSendRunsOnTheWindowsThread) {
    const HWND w = CreateLogWindow(WS_POPUP, 0, 0, 10, 10);
    const std::thread::id owner = std::this_thread::get_id();
    std::thread::id ranOn;
    MessageLog::Get().hook = [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (msg != kPing) {
            return false;
        }
        ranOn = std::this_thread::get_id();
        result = 77;
        return true;
    };
    LRESULT answer = 0;
    std::thread sender([&] { answer = SendMessageA(w, kPing, 0, 0); });
    while (ranOn == std::thread::id()) {
        Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    sender.join();
    EXPECT_EQ(ranOn, owner);
    EXPECT_EQ(answer, 77);
    DestroyWindow(w);
}

TEST_F(MessageQueueTest, TimersFireAsTimerMessages) {
    const HWND w = CreateLogWindow(WS_POPUP, 0, 0, 10, 10);
    ASSERT_NE(SetTimer(w, 3, 100, nullptr), 0u);
    MSG msg{};
    ASSERT_TRUE(GetMessageA(&msg, w, WM_TIMER, WM_TIMER));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_TRUE(KillTimer(w, 3));
    EXPECT_FALSE(KillTimer(w, 3));
    DestroyWindow(w);
}

TEST_F(MessageQueueTest, TranslateMessageTurnsKeysIntoCharacters) {
    const HWND w = CreateLogWindow(WS_POPUP, 0, 0, 10, 10);
    const MSG key{w, WM_KEYDOWN, 'A', 1, 0, POINT{}};
    EXPECT_TRUE(TranslateMessage(&key));
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, w, WM_CHAR, WM_CHAR, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('a'));
    const MSG arrow{w, WM_KEYDOWN, VK_LEFT, 1, 0, POINT{}};
    EXPECT_TRUE(TranslateMessage(&arrow)) << "every key message answers TRUE";
    EXPECT_FALSE(PeekMessageA(&msg, w, WM_CHAR, WM_CHAR, PM_REMOVE)) << "an arrow is no character";
    const MSG notKey{w, WM_MOUSEMOVE, 0, 0, 0, POINT{}};
    EXPECT_FALSE(TranslateMessage(&notKey));
    DestroyWindow(w);
}

} // namespace
