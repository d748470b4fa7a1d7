// How the dialog manager builds and ends a dialog, as its procedure sees it: the font before
// WM_INITDIALOG, the controls already there, where the focus lands, and the order in which a
// dialog box and its controls are torn down.
#include "DialogTemplate.h"
#include "Win32Test.h"

#include <string>
#include <utility>

using namespace win32test;

namespace {

// Posted from WM_INITDIALOG, so it is handled inside the dialog's own loop.
constexpr UINT kStep = WM_USER + 100;
constexpr WORD kLabel = 10;
constexpr WORD kFirst = 11;
constexpr WORD kSecond = 12;
constexpr WORD kDisabled = 13;
constexpr WORD kLogged = 14;
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;

// What the dialog procedure is to do, and what it saw.
struct Script {
    BOOL initResult = TRUE;
    WORD focusInInit = 0;
    bool postStep = false;
    INT_PTR endWith = 0;
    HWND dialog = nullptr;
    HWND logged = nullptr;
    HWND initFocusParam = nullptr;
    bool controlsAtInit = false;
    HFONT fontSet = nullptr;
    HFONT controlFontAtInit = nullptr;
    HWND focusAtStep = nullptr;
    HWND firstAtStep = nullptr;
    bool aliveAfterEnd = false;
};

Script script;

INT_PTR OnInitDialog(HWND hwnd, WPARAM wParam) {
    script.dialog = hwnd;
    script.logged = GetDlgItem(hwnd, kLogged);
    script.initFocusParam = reinterpret_cast<HWND>(wParam);
    script.controlsAtInit = GetDlgItem(hwnd, kLabel) && GetDlgItem(hwnd, kFirst) &&
                            GetDlgItem(hwnd, kSecond) && script.logged;
    script.controlFontAtInit =
        reinterpret_cast<HFONT>(SendMessageA(GetDlgItem(hwnd, kFirst), WM_GETFONT, 0, 0));
    if (script.focusInInit) {
        SetFocus(GetDlgItem(hwnd, script.focusInInit));
    }
    if (script.postStep) {
        PostMessageA(hwnd, kStep, 0, 0);
    }
    return script.initResult;
}

void OnStep(HWND hwnd) {
    script.focusAtStep = GetFocus();
    script.firstAtStep = GetDlgItem(hwnd, kFirst);
    EndDialog(hwnd, script.endWith);
    script.aliveAfterEnd = IsWindow(hwnd) != FALSE;
}

INT_PTR CALLBACK ScriptedProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    MessageLog::Get().Add(Logged{hwnd, msg, wParam, lParam});
    switch (msg) {
    case WM_SETFONT:
        script.fontSet = reinterpret_cast<HFONT>(wParam);
        return FALSE;
    case WM_INITDIALOG:
        return OnInitDialog(hwnd, wParam);
    case kStep:
        OnStep(hwnd);
        return TRUE;
    default:
        return FALSE;
    }
}

DialogTemplate ControlsTemplate(const char* faceName) {
    DialogTemplate t(kDialogStyle, 180, 70, faceName);
    t.AddItem(SS_LEFT, kLabel, kStaticAtom, "label", 4, 4, 60, 10)
        .AddItem(BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, kDisabled, kButtonAtom, "off", 4, 20, 40,
                 14)
        .AddItem(BS_PUSHBUTTON | WS_TABSTOP, kFirst, kButtonAtom, "first", 50, 20, 40, 14)
        .AddItem(BS_PUSHBUTTON | WS_TABSTOP, kSecond, kButtonAtom, "second", 96, 20, 40, 14)
        .AddItem(0, kLogged, LogClass(), "", 4, 40, 20, 10);
    return t;
}

class DialogOrderTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        script = Script{};
    }
};

struct FontCase {
    const char* name;
    const char* faceName;
    std::vector<UINT> expected;
};

class DialogFontOrderTest : public DialogOrderTest,
                            public ::testing::WithParamInterface<FontCase> {};

TEST_P(DialogFontOrderTest, TheFontComesBeforeInitDialogAndOnlyWhenTheTemplateHasOne) {
    const DialogTemplate t = ControlsTemplate(GetParam().faceName);
    const UniqueWindow dialog(
        CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, &ScriptedProc, 0));
    ASSERT_NE(dialog.get(), nullptr);
    EXPECT_EQ(MessageLog::Get().Of(dialog.get(), {WM_SETFONT, WM_INITDIALOG}), GetParam().expected);
    if (GetParam().faceName) {
        EXPECT_NE(script.fontSet, nullptr);
        EXPECT_EQ(script.controlFontAtInit, script.fontSet) << "controls get the dialog's font";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, DialogFontOrderTest,
    ::testing::Values(FontCase{"SetFont", "MS Shell Dlg", {WM_SETFONT, WM_INITDIALOG}},
                      FontCase{"SystemFont", nullptr, {WM_INITDIALOG}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogOrderTest, ControlsExistAtInitDialogWhichNamesTheFirstEnabledTabStop) {
    const DialogTemplate t = ControlsTemplate("MS Shell Dlg");
    const UniqueWindow dialog(
        CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, &ScriptedProc, 0));
    ASSERT_NE(dialog.get(), nullptr);
    EXPECT_EQ(script.dialog, dialog.get());
    EXPECT_TRUE(script.controlsAtInit);
    EXPECT_EQ(script.initFocusParam, GetDlgItem(dialog.get(), kFirst));
}

struct FocusCase {
    const char* name;
    BOOL initResult;
    WORD focusInInit;
    WORD expected;
};

class DialogFocusTest : public DialogOrderTest, public ::testing::WithParamInterface<FocusCase> {};

TEST_P(DialogFocusTest, FocusFollowsWhatInitDialogAnswered) {
    script.initResult = GetParam().initResult;
    script.focusInInit = GetParam().focusInInit;
    const DialogTemplate t = ControlsTemplate("MS Shell Dlg");
    const UniqueWindow dialog(
        CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, &ScriptedProc, 0));
    ASSERT_NE(dialog.get(), nullptr);
    Pump();
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog.get(), GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DialogFocusTest,
    ::testing::Values(FocusCase{"TrueFocusesFirstTabStop", TRUE, 0, kFirst},
                      FocusCase{"TrueOverridesInitsChoice", TRUE, kSecond, kFirst},
                      FocusCase{"FalseKeepsInitsChoice", FALSE, kSecond, kSecond}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogOrderTest, EndDialogEndsTheLoopWithItsValueAndTheDialogGoesParentFirst) {
    script.postStep = true;
    script.endWith = 42;
    const DialogTemplate t = ControlsTemplate("MS Shell Dlg");
    EXPECT_EQ(
        DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), nullptr, &ScriptedProc, 0), 42);
    ASSERT_NE(script.dialog, nullptr);
    EXPECT_TRUE(script.aliveAfterEnd) << "EndDialog only marks the dialog to end";
    EXPECT_NE(script.firstAtStep, nullptr);
    EXPECT_EQ(script.focusAtStep, script.firstAtStep);
    EXPECT_FALSE(IsWindow(script.dialog));

    std::vector<std::pair<HWND, UINT>> seen;
    for (const Logged& e : MessageLog::Get().Entries()) {
        if (e.message == WM_INITDIALOG || e.message == WM_DESTROY || e.message == WM_NCDESTROY) {
            seen.emplace_back(e.hwnd, e.message);
        }
    }
    const std::vector<std::pair<HWND, UINT>> expected{
        {script.dialog, WM_INITDIALOG}, {script.dialog, WM_DESTROY},   {script.logged, WM_DESTROY},
        {script.logged, WM_NCDESTROY},  {script.dialog, WM_NCDESTROY},
    };
    EXPECT_EQ(seen, expected);
}

} // namespace
