// Creation and destruction order, ownership, geometry of frames and the window's text.
#include "Win32Test.h"

using namespace win32test;

namespace {

class WindowLifecycleTest : public WindowTest {};

TEST_F(WindowLifecycleTest, CreationSendsItsMessagesInWindowsOrder) {
    const HWND w = CreateLogWindow(WS_POPUP, 5, 5, 40, 30);
    ASSERT_TRUE(w);
    EXPECT_EQ(MessageLog::Get().Of(w, {WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}),
              (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
    EXPECT_FALSE(IsWindowVisible(w));
    DestroyWindow(w);
}

TEST_F(WindowLifecycleTest, AVisibleTopLevelWindowIsShownActivatedAndFocused) {
    const HWND w = CreateLogWindow(WS_POPUP | WS_VISIBLE, 5, 5, 40, 30);
    EXPECT_EQ(MessageLog::Get().Of(w, {WM_CREATE, WM_SHOWWINDOW, WM_ACTIVATE, WM_SETFOCUS}),
              (std::vector<UINT>{WM_CREATE, WM_SHOWWINDOW, WM_ACTIVATE, WM_SETFOCUS}));
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(GetActiveWindow(), w);
    EXPECT_EQ(GetFocus(), w);
    DestroyWindow(w);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowLifecycleTest, DestroySendsDestroyTopDownAndNcDestroyBottomUp) {
    const HWND parent = CreateLogWindow(WS_POPUP, 0, 0, 50, 50);
    const HWND child = CreateLogWindow(WS_CHILD, 0, 0, 10, 10, parent, 1);
    MessageLog::Get().Clear();
    ASSERT_TRUE(DestroyWindow(parent));
    std::vector<HWND> order;
    std::vector<UINT> messages;
    for (const Logged& e : MessageLog::Get().Entries()) {
        if (e.message == WM_DESTROY || e.message == WM_NCDESTROY) {
            order.push_back(e.hwnd);
            messages.push_back(e.message);
        }
    }
    EXPECT_EQ(order, (std::vector<HWND>{parent, child, child, parent}));
    EXPECT_EQ(messages, (std::vector<UINT>{WM_DESTROY, WM_DESTROY, WM_NCDESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(parent));
}

TEST_F(WindowLifecycleTest, DestroyingAnOwnerDestroysItsPopupsFirst) {
    const HWND owner = CreateLogWindow(WS_POPUP, 0, 0, 50, 50);
    const HWND popup = CreateLogWindow(WS_POPUP, 0, 0, 20, 20, owner);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
    EXPECT_EQ(GetParent(popup), owner) << "GetParent answers the owner for pop-ups";
    MessageLog::Get().Clear();
    DestroyWindow(owner);
    ASSERT_FALSE(MessageLog::Get().Entries().empty());
    EXPECT_EQ(MessageLog::Get().Entries().front().hwnd, popup);
    EXPECT_FALSE(IsWindow(popup));
}

TEST_F(WindowLifecycleTest, CreateFailsWhenTheWindowRefusesItsCreation) {
    MessageLog::Get().hook = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (msg != WM_CREATE) {
            return false;
        }
        result = -1;
        return true;
    };
    EXPECT_EQ(CreateLogWindow(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10), nullptr);
    MessageLog::Get().hook = nullptr;
    const auto& entries = MessageLog::Get().Entries();
    ASSERT_FALSE(entries.empty());
    EXPECT_FALSE(IsWindow(entries.front().hwnd)) << "a refused window was left behind";
}

TEST_F(WindowLifecycleTest, UnknownClassFailsWithItsError) {
    SetLastError(0);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
}

struct FrameCase {
    DWORD style;
    DWORD exStyle;
    RECT expected; // client area inside a 100 x 80 window, window coordinates
};

class FrameGeometryTest : public WindowTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(FrameGeometryTest, ClientAreaSitsInsideTheFrame) {
    const FrameCase& c = GetParam();
    const HWND w = CreateLogWindow(c.style, 200, 100, 100, 80, nullptr, 0, c.exStyle);
    RECT client{};
    ASSERT_TRUE(GetClientRect(w, &client));
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    EXPECT_EQ(client.right, c.expected.right - c.expected.left);
    EXPECT_EQ(client.bottom, c.expected.bottom - c.expected.top);
    EXPECT_EQ(origin.x, 200 + c.expected.left);
    EXPECT_EQ(origin.y, 100 + c.expected.top);
    RECT adjusted{0, 0, client.right, client.bottom};
    AdjustWindowRectEx(&adjusted, c.style, FALSE, c.exStyle);
    EXPECT_EQ(adjusted.right - adjusted.left, 100);
    EXPECT_EQ(adjusted.bottom - adjusted.top, 80);
    DestroyWindow(w);
}

INSTANTIATE_TEST_SUITE_P(Styles, FrameGeometryTest,
                         ::testing::Values(FrameCase{WS_POPUP, 0, RECT{0, 0, 100, 80}},
                                           FrameCase{WS_POPUP | WS_BORDER, 0, RECT{1, 1, 99, 79}},
                                           FrameCase{WS_POPUP | WS_CAPTION, 0, RECT{3, 22, 97, 77}},
                                           FrameCase{WS_POPUP, WS_EX_DLGMODALFRAME,
                                                     RECT{3, 3, 97, 77}}));

TEST_F(WindowLifecycleTest, ChildGeometryFollowsItsParentsClientArea) {
    const HWND parent = CreateLogWindow(WS_POPUP | WS_BORDER, 100, 50, 200, 100);
    const HWND child = CreateLogWindow(WS_CHILD | WS_VISIBLE, 10, 20, 30, 40, parent, 7);
    RECT r{};
    GetWindowRect(child, &r);
    EXPECT_EQ(r.left, 111);
    EXPECT_EQ(r.top, 71);
    EXPECT_EQ(r.right - r.left, 30);
    MoveWindow(parent, 0, 0, 200, 100, TRUE);
    GetWindowRect(child, &r);
    EXPECT_EQ(r.left, 11);
    POINT p{15, 25};
    ScreenToClient(child, &p);
    EXPECT_EQ(p.x, 4);
    EXPECT_EQ(p.y, 4);
    EXPECT_EQ(GetDlgItem(parent, 7), child);
    EXPECT_EQ(GetDlgCtrlID(child), 7);
    EXPECT_EQ(GetParent(child), parent);
    DestroyWindow(parent);
}

TEST_F(WindowLifecycleTest, MoveWindowTellsTheWindowOnlyWhatChanged) {
    const HWND w = CreateLogWindow(WS_POPUP, 0, 0, 40, 30);
    MessageLog::Get().Clear();
    MoveWindow(w, 10, 0, 40, 30, TRUE);
    EXPECT_EQ(MessageLog::Get().Of(w, {WM_MOVE, WM_SIZE}), std::vector<UINT>{WM_MOVE});
    MessageLog::Get().Clear();
    MoveWindow(w, 10, 0, 50, 30, TRUE);
    EXPECT_EQ(MessageLog::Get().Of(w, {WM_MOVE, WM_SIZE}), std::vector<UINT>{WM_SIZE});
    DestroyWindow(w);
}

TEST_F(WindowLifecycleTest, TextGoesToTheWindowAndItsTitle) {
    const HWND w = CreateLogWindow(WS_POPUP, 0, 0, 40, 30);
    ASSERT_TRUE(SetWindowTextA(w, "Nerith updater"));
    char buffer[8] = {};
    EXPECT_EQ(GetWindowTextA(w, buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "Nerith ");
    EXPECT_EQ(GetWindowTextLengthA(w), 14);
    DestroyWindow(w);
}

TEST_F(WindowLifecycleTest, EnableWindowReportsThePreviousStateAndTellsTheWindow) {
    const HWND w = CreateLogWindow(WS_POPUP, 0, 0, 40, 30);
    MessageLog::Get().Clear();
    EXPECT_FALSE(EnableWindow(w, FALSE));
    EXPECT_FALSE(IsWindowEnabled(w));
    EXPECT_TRUE(EnableWindow(w, FALSE)) << "already disabled";
    EXPECT_TRUE(EnableWindow(w, TRUE));
    EXPECT_TRUE(IsWindowEnabled(w));
    EXPECT_EQ(MessageLog::Get().Of(w, {WM_ENABLE}), (std::vector<UINT>{WM_ENABLE, WM_ENABLE}));
    DestroyWindow(w);
}

} // namespace
