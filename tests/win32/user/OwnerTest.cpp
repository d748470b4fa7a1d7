// A dialog box disables its owner for as long as it runs and gives it back enabled before the
// dialog goes away.
#include "DialogTemplate.h"
#include "Win32Test.h"

#include <utility>

using namespace win32test;

namespace {

constexpr UINT kStep = WM_USER + 100;
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | DS_MODALFRAME | WS_VISIBLE;

struct Inside {
    HWND owner = nullptr;
    HWND dialog = nullptr;
    HWND ownerOfDialog = nullptr;
    bool ownerEnabled = true;
};

Inside inside;

INT_PTR CALLBACK EndingProc(HWND hwnd, UINT msg, WPARAM, LPARAM lParam) {
    MessageLog::Get().Add(Logged{hwnd, msg, 0, lParam});
    if (msg == WM_INITDIALOG) {
        inside.dialog = hwnd;
        PostMessageA(hwnd, kStep, 0, 0);
        return TRUE;
    }
    if (msg == kStep) {
        inside.ownerOfDialog = GetWindow(hwnd, GW_OWNER);
        inside.ownerEnabled = IsWindowEnabled(inside.owner) != FALSE;
        EndDialog(hwnd, IDOK);
        return TRUE;
    }
    return FALSE;
}

class OwnerTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        inside = Inside{};
    }

    INT_PTR RunDialog(HWND parent) {
        const DialogTemplate t(kDialogStyle, 100, 40);
        return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), parent, &EndingProc, 0);
    }

    // The owner's WM_ENABLE messages with their wParam, and the dialog's end, in order.
    static std::vector<std::pair<UINT, WPARAM>> EnableAndEnd(HWND owner) {
        std::vector<std::pair<UINT, WPARAM>> seen;
        for (const Logged& e : MessageLog::Get().Entries()) {
            if (e.hwnd == owner && e.message == WM_ENABLE) {
                seen.emplace_back(e.message, e.wParam);
            }
            if (e.hwnd == inside.dialog && e.message == WM_DESTROY) {
                seen.emplace_back(e.message, 0);
            }
        }
        return seen;
    }
};

TEST_F(OwnerTest, TheOwnerIsDisabledInsideAndEnabledBeforeTheDialogIsDestroyed) {
    const UniqueWindow owner(CreateLogWindow(WS_POPUP | WS_VISIBLE, 40, 40, 200, 150));
    ASSERT_NE(owner.get(), nullptr);
    inside.owner = owner.get();
    MessageLog::Get().Clear();

    EXPECT_EQ(RunDialog(owner.get()), IDOK);

    EXPECT_EQ(inside.ownerOfDialog, owner.get());
    EXPECT_FALSE(inside.ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
    const std::vector<std::pair<UINT, WPARAM>> expected{
        {WM_ENABLE, FALSE}, {WM_ENABLE, TRUE}, {WM_DESTROY, 0}};
    EXPECT_EQ(EnableAndEnd(owner.get()), expected);
}

TEST_F(OwnerTest, AChildGivenAsParentMakesItsTopLevelWindowTheOwner) {
    const UniqueWindow top(CreateLogWindow(WS_POPUP | WS_VISIBLE, 40, 40, 200, 150));
    ASSERT_NE(top.get(), nullptr);
    const HWND child = CreateLogWindow(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top.get(), 7);
    ASSERT_NE(child, nullptr);
    inside.owner = top.get();

    EXPECT_EQ(RunDialog(child), IDOK);

    EXPECT_EQ(inside.ownerOfDialog, top.get());
    EXPECT_FALSE(inside.ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(top.get()));
    EXPECT_TRUE(IsWindowEnabled(child));
}

} // namespace
