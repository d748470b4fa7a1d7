// Made-up input: SetCursorPos and SendInput move the pointer and press buttons and keys the
// way a user does, so windows receive them as the user's own.
#include "Win32Test.h"

using namespace win32test;

namespace {

class SendInputTest : public WindowTest {
protected:
    void TearDown() override {
        for (HWND w : windows_) {
            DestroyWindow(w);
        }
        WindowTest::TearDown();
    }
    HWND Shown(int x, int y, int width, int height) {
        const HWND w = CreateLogWindow(WS_POPUP | WS_VISIBLE, x, y, width, height);
        EXPECT_TRUE(w);
        windows_.push_back(w);
        SetForegroundWindow(w);
        SetFocus(w);
        Pump();
        MessageLog::Get().Clear();
        return w;
    }
    static bool CursorAt(POINT expected) {
        POINT at{};
        return GetCursorPos(&at) && at.x == expected.x && at.y == expected.y;
    }
    static const Logged* Find(UINT message) {
        for (const Logged& e : MessageLog::Get().Entries()) {
            if (e.message == message) {
                return &e;
            }
        }
        return nullptr;
    }

    std::vector<HWND> windows_;
};

TEST_F(SendInputTest, SetCursorPosMovesThePointerAndKeepsItOnTheScreen) {
    const int right = GetSystemMetrics(SM_CXSCREEN) - 1;
    const int bottom = GetSystemMetrics(SM_CYSCREEN) - 1;
    const struct {
        POINT to;
        POINT expected;
    } cases[] = {
        {{10, 20}, {10, 20}},
        {{right, bottom}, {right, bottom}},
        {{right + 50, bottom + 70}, {right, bottom}},
        {{-30, -40}, {0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(SetCursorPos(c.to.x, c.to.y));
        EXPECT_TRUE(PumpUntil([&] { return CursorAt(c.expected); }))
            << c.to.x << "," << c.to.y << " should put the pointer at " << c.expected.x << ","
            << c.expected.y;
    }
}

TEST_F(SendInputTest, AbsoluteCoordinatesSpanTheScreenFromZeroTo65535) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const struct {
        LONG dx, dy;
        POINT expected;
    } cases[] = {
        {0, 0, {0, 0}},
        {Normalised(123, width), Normalised(45, height), {123, 45}},
        {Normalised(width / 2, width), Normalised(height / 3, height), {width / 2, height / 3}},
        {65535, 65535, {width - 1, height - 1}},
    };
    for (const auto& c : cases) {
        INPUT move{};
        move.type = INPUT_MOUSE;
        move.mi.dx = c.dx;
        move.mi.dy = c.dy;
        move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        EXPECT_EQ(SendInput(1, &move, sizeof(INPUT)), 1u);
        EXPECT_TRUE(PumpUntil([&] { return CursorAt(c.expected); }))
            << c.dx << "," << c.dy << " should reach " << c.expected.x << "," << c.expected.y;
    }
}

TEST_F(SendInputTest, AWrongStructureSizeIsRefused) {
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    for (const int size :
         {0, static_cast<int>(sizeof(INPUT)) - 1, static_cast<int>(sizeof(INPUT)) + 8}) {
        SetLastError(0);
        EXPECT_EQ(SendInput(1, &move, size), 0u) << size;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << size;
    }
}

TEST_F(SendInputTest, AClickReachesTheWindowUnderThePointerInClientCoordinates) {
    const HWND w = Shown(200, 150, 120, 90);
    INPUT click[3]{};
    for (INPUT& i : click) {
        i.type = INPUT_MOUSE;
    }
    click[0].mi.dx = Normalised(230, GetSystemMetrics(SM_CXSCREEN));
    click[0].mi.dy = Normalised(190, GetSystemMetrics(SM_CYSCREEN));
    click[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(3, click, sizeof(INPUT)), 3u);
    ASSERT_TRUE(PumpUntil([&] { return Find(WM_LBUTTONUP) != nullptr; }));
    EXPECT_EQ(MessageLog::Get().Of(w, {WM_LBUTTONDOWN, WM_LBUTTONUP}),
              (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    for (const UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP}) {
        const Logged* e = Find(message);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(LOWORD(e->lParam), 30) << message;
        EXPECT_EQ(HIWORD(e->lParam), 40) << message;
    }
    EXPECT_EQ(Find(WM_LBUTTONDOWN)->wParam & MK_LBUTTON, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(Find(WM_LBUTTONUP)->wParam & MK_LBUTTON, 0u);
}

TEST_F(SendInputTest, KeysReachTheFocusWithTheModifiersHeldMeanwhile) {
    const HWND w = Shown(100, 100, 80, 60);
    ASSERT_EQ(GetFocus(), w);
    std::vector<bool> shiftDuringA;
    MessageLog::Get().hook = [&](HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT&) {
        if (msg == WM_KEYDOWN && wParam == 'A') {
            shiftDuringA.push_back(GetKeyState(VK_SHIFT) < 0);
        }
        return false;
    };
    ASSERT_TRUE(Press('A', {VK_SHIFT}));
    ASSERT_TRUE(Press('A'));
    ASSERT_TRUE(PumpUntil([&] { return shiftDuringA.size() == 2; }));
    EXPECT_EQ(shiftDuringA, (std::vector<bool>{true, false}));
    EXPECT_EQ(
        MessageLog::Get().Of(w, {WM_KEYDOWN, WM_KEYUP}),
        (std::vector<UINT>{WM_KEYDOWN, WM_KEYDOWN, WM_KEYUP, WM_KEYUP, WM_KEYDOWN, WM_KEYUP}));
    EXPECT_GE(GetKeyState(VK_SHIFT), 0) << "released at the end";
}

} // namespace
