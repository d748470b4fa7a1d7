// A message box answers the keyboard: Enter chooses the default button; Esc cancels a box that
// has Cancel and, on a box with OK alone, answers IDOK.
#include "Win32Test.h"

#include <ostream>
#include <string>

using namespace win32test;

namespace {

constexpr UINT_PTR kPressTimer = 7;
constexpr UINT_PTR kGiveUpTimer = 8;
constexpr UINT kGiveUpAfter = 10000;

struct KeyAnswer {
    const char* name;
    UINT type;
    WORD key;
    int answer;
};

void PrintTo(const KeyAnswer& k, std::ostream* os) {
    *os << k.name;
}

// A timer procedure cannot carry a closure, so the test and its timers meet here.
WORD g_key = 0;
HWND g_box = nullptr;

// A box that the key did not end would hold the test forever: it is ended with 0 instead.
void CALLBACK GiveUp(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    KillTimer(hwnd, id);
    if (IsWindow(g_box)) {
        EndDialog(g_box, 0);
    }
}

void CALLBACK PressOnceTheBoxIsUp(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    const HWND box = GetActiveWindow();
    if (!box || box == hwnd) {
        return;
    }
    KillTimer(hwnd, id);
    g_box = box;
    Press(g_key);
    SetTimer(hwnd, kGiveUpTimer, kGiveUpAfter, &GiveUp);
}

class MessageBoxTest : public WindowTest, public ::testing::WithParamInterface<KeyAnswer> {};

TEST_P(MessageBoxTest, TheKeyGivesItsAnswer) {
    const UniqueWindow owner(CreateLogWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 300, 200));
    ASSERT_TRUE(owner);
    g_key = GetParam().key;
    g_box = nullptr;
    ASSERT_NE(SetTimer(owner.get(), kPressTimer, 20, &PressOnceTheBoxIsUp), 0u);
    EXPECT_EQ(MessageBoxA(owner.get(), "Couldn't create the file!", "Nerith", GetParam().type),
              GetParam().answer);
    KillTimer(owner.get(), kGiveUpTimer);
    ASSERT_NE(g_box, nullptr) << "the box never became the active window";
    EXPECT_FALSE(IsWindow(g_box));
    EXPECT_TRUE(IsWindowEnabled(owner.get())) << "the owner was not given back";
}

INSTANTIATE_TEST_SUITE_P(Keys, MessageBoxTest,
                         ::testing::Values(KeyAnswer{"OkAloneEnter", MB_OK, VK_RETURN, IDOK},
                                           KeyAnswer{"OkAloneEsc", MB_OK, VK_ESCAPE, IDOK},
                                           KeyAnswer{"OkCancelEnter", MB_OKCANCEL, VK_RETURN, IDOK},
                                           KeyAnswer{"OkCancelEsc", MB_OKCANCEL, VK_ESCAPE,
                                                     IDCANCEL}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
