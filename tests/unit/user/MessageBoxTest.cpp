// The message box: modal over a disabled owner, centred over it, showing its text and OK, and
// ended by Enter, Esc or a click with the documented result.
#include "TestSupport.h"

#include <string>

using namespace usertest;

namespace {

constexpr UINT_PTR kLookTimer = 77;

struct Seen {
    HWND box = nullptr;
    BOOL ownerEnabled = TRUE;
    RECT rect{};
    std::string caption;
    std::string text;
    bool hasOk = false;
    bool hasCancel = false;
    bool boxIsActive = false;
};

std::string TextOf(HWND hwnd) {
    char buffer[256] = {};
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

HWND StaticChild(HWND box) {
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[32] = {};
        GetClassNameA(c, cls, sizeof cls);
        if (std::string(cls) == "Static") {
            return c;
        }
    }
    return nullptr;
}

struct BoxCase {
    const char* name;
    UINT type;
    std::function<void(const Seen&)> answer;
    int expected;
};

Seen g_seen;
std::function<void(const Seen&)> g_answer;
HWND g_owner = nullptr;

// Runs once the box's own loop dispatches timers: looks at the box, then answers it.
void CALLBACK LookAndAnswer(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    KillTimer(hwnd, id);
    Seen s;
    s.box = GetActiveWindow();
    s.ownerEnabled = IsWindowEnabled(g_owner);
    GetWindowRect(s.box, &s.rect);
    s.caption = TextOf(s.box);
    s.text = TextOf(StaticChild(s.box));
    s.hasOk = GetDlgItem(s.box, IDOK) != nullptr;
    s.hasCancel = GetDlgItem(s.box, IDCANCEL) != nullptr;
    s.boxIsActive = s.box != g_owner && GetFocus() == GetDlgItem(s.box, IDOK);
    g_seen = s;
    g_answer(s);
}

void Press(UINT vk) {
    Screen().PressKey(vk);
}

void ClickItem(const Seen& s, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(s.box, id), &r);
    Screen().Click(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

class MessageBoxTest : public WindowTest {};
class MessageBoxAnswerTest : public WindowTest, public ::testing::WithParamInterface<BoxCase> {};

TEST_P(MessageBoxAnswerTest, ModalCentredAndEndedWithItsResult) {
    g_owner = CreateLogWindow(WS_POPUP | WS_VISIBLE, 100, 100, 600, 400);
    g_answer = GetParam().answer;
    g_seen = Seen{};
    SetTimer(g_owner, kLookTimer, 20, &LookAndAnswer);
    const int result = MessageBoxA(g_owner, "Couldn't create the file!", "Update", GetParam().type);
    EXPECT_EQ(result, GetParam().expected);

    EXPECT_FALSE(g_seen.ownerEnabled) << "the owner took input under the box";
    EXPECT_TRUE(g_seen.boxIsActive) << "the box or its OK button had no focus";
    EXPECT_EQ(g_seen.caption, "Update");
    EXPECT_EQ(g_seen.text, "Couldn't create the file!");
    EXPECT_TRUE(g_seen.hasOk);
    EXPECT_EQ(g_seen.hasCancel, (GetParam().type & MB_TYPEMASK) == MB_OKCANCEL);
    const int centreX = (g_seen.rect.left + g_seen.rect.right) / 2;
    const int centreY = (g_seen.rect.top + g_seen.rect.bottom) / 2;
    EXPECT_NEAR(centreX, 400, 1) << "not centred over the owner";
    EXPECT_NEAR(centreY, 300, 1) << "not centred over the owner";

    EXPECT_FALSE(IsWindow(g_seen.box)) << "the box outlived its call";
    EXPECT_TRUE(IsWindowEnabled(g_owner)) << "the owner stayed disabled";
    EXPECT_EQ(GetActiveWindow(), g_owner) << "activation did not return to the owner";
    DestroyWindow(g_owner);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, MessageBoxAnswerTest,
    ::testing::Values(
        BoxCase{"Enter", MB_OK, [](const Seen&) { Press(VK_RETURN); }, IDOK},
        BoxCase{"EscOnAnOkBoxIsOk", MB_OK, [](const Seen&) { Press(VK_ESCAPE); }, IDOK},
        BoxCase{"ClickOk", MB_OK | MB_ICONEXCLAMATION, [](const Seen& s) { ClickItem(s, IDOK); },
                IDOK},
        BoxCase{"CloseRequestOnAnOkBoxIsOk", MB_OK,
                [](const Seen& s) { PostMessageA(s.box, WM_CLOSE, 0, 0); }, IDOK},
        BoxCase{"EscOnOkCancel", MB_OKCANCEL, [](const Seen&) { Press(VK_ESCAPE); }, IDCANCEL},
        BoxCase{"ClickCancel", MB_OKCANCEL, [](const Seen& s) { ClickItem(s, IDCANCEL); },
                IDCANCEL}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MessageBoxTest, ClicksOnTheOwnerAreIgnored) {
    g_owner = CreateLogWindow(WS_POPUP | WS_VISIBLE, 0, 0, 900, 700);
    g_answer = [](const Seen&) {
        MessageLog::Get().Clear();
        Screen().Click(POINT{10, 10});
        Press(VK_RETURN);
    };
    SetTimer(g_owner, kLookTimer, 20, &LookAndAnswer);
    EXPECT_EQ(MessageBoxA(g_owner, "text", nullptr, MB_OK), IDOK);
    EXPECT_TRUE(MessageLog::Get().Of(g_owner, {WM_LBUTTONDOWN, WM_LBUTTONUP}).empty());
    EXPECT_EQ(g_seen.caption, "Error") << "the caption of a box without one";
    DestroyWindow(g_owner);
}

} // namespace
