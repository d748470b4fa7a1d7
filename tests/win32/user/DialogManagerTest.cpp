// What the dialog manager sends a dialog it builds, with or without a dialog procedure.
#include "Win32Test.h"

#include <algorithm>

using namespace win32test;

namespace {

constexpr int kClassic = 301;

LPCDLGTEMPLATEA TemplateResource(int id) {
    const HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_DIALOG);
    const HGLOBAL loaded = res ? LoadResource(nullptr, res) : nullptr;
    return static_cast<LPCDLGTEMPLATEA>(loaded ? LockResource(loaded) : nullptr);
}

// Subclasses the dialog from a CBT hook, as a framework does, to see every message it gets.
struct Watch {
    HHOOK hook = nullptr;
    HWND dialog = nullptr;
    WNDPROC super = nullptr;
    std::vector<UINT> messages;
};

Watch* g_watch = nullptr;

LRESULT CALLBACK Watching(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (hwnd == g_watch->dialog && msg != WM_NCHITTEST) {
        g_watch->messages.push_back(msg);
    }
    return CallWindowProcA(g_watch->super, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK SubclassFirst(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && !g_watch->dialog) {
        g_watch->dialog = reinterpret_cast<HWND>(wParam);
        g_watch->super = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            g_watch->dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Watching)));
    }
    return CallNextHookEx(g_watch->hook, code, wParam, lParam);
}

INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

class DialogManagerTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        g_watch = &watch_;
    }
    void TearDown() override {
        g_watch = nullptr;
        WindowTest::TearDown();
    }
    HWND CreateWatched(DLGPROC proc) {
        watch_.hook = SetWindowsHookExA(WH_CBT, &SubclassFirst, nullptr, GetCurrentThreadId());
        EXPECT_NE(watch_.hook, nullptr);
        const HWND dialog =
            CreateDialogIndirectParamA(nullptr, TemplateResource(kClassic), nullptr, proc, 0);
        UnhookWindowsHookEx(watch_.hook);
        EXPECT_EQ(dialog, watch_.dialog);
        return dialog;
    }
    std::vector<UINT> Seen(const std::vector<UINT>& only) const {
        std::vector<UINT> seen;
        for (const UINT m : watch_.messages) {
            if (std::find(only.begin(), only.end(), m) != only.end()) {
                seen.push_back(m);
            }
        }
        return seen;
    }

    Watch watch_;
};

TEST_F(DialogManagerTest, ADialogProcedureGetsInitDialogOnceTheWindowIsCreated) {
    const HWND dialog = CreateWatched(&PassiveDialogProc);
    ASSERT_TRUE(dialog);
    ASSERT_FALSE(watch_.messages.empty());
    EXPECT_EQ(watch_.messages.front(), WM_NCCREATE) << "the hook came too late";
    EXPECT_EQ(Seen({WM_NCCREATE, WM_CREATE, WM_INITDIALOG}),
              (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_INITDIALOG}));
    DestroyWindow(dialog);
}

TEST_F(DialogManagerTest, WithoutADialogProcedureThereIsNoInitDialog) {
    const HWND dialog = CreateWatched(nullptr);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Seen({WM_NCCREATE, WM_CREATE, WM_INITDIALOG}),
              (std::vector<UINT>{WM_NCCREATE, WM_CREATE}));
    EXPECT_NE(GetDlgItem(dialog, 1006), nullptr) << "the controls are made all the same";
    DestroyWindow(dialog);
}

TEST_F(DialogManagerTest, TheDialogsOwnWindowLongsHoldItsProcedureAndTheCallersValues) {
    const HWND dialog = CreateWatched(&PassiveDialogProc);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(GetWindowLongPtrA(dialog, DWLP_DLGPROC),
              reinterpret_cast<LONG_PTR>(&PassiveDialogProc));
    const auto wide = static_cast<LONG_PTR>(0x123456789ABCLL);
    SetWindowLongPtrA(dialog, DWLP_USER, wide);
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 42);
    EXPECT_EQ(GetWindowLongPtrA(dialog, DWLP_USER), wide) << "a pointer-sized slot";
    EXPECT_EQ(GetWindowLongPtrA(dialog, DWLP_MSGRESULT), 42);
    EXPECT_EQ(GetWindowLongPtrA(dialog, DWLP_DLGPROC),
              reinterpret_cast<LONG_PTR>(&PassiveDialogProc));
    DestroyWindow(dialog);
}

} // namespace
