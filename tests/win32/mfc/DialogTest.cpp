// Modal dialogs driven by a user's input: the result of every way out, creation order, the
// owner, the quit message inside nested loops and key filtering.
#include "ScriptedDialog.h"
#include "Win32Test.h"

#include "platform/mfc.h"

#include <functional>
#include <string>
#include <vector>

using namespace mfctest;
using namespace win32test;

namespace {

constexpr UINT kFixed = 400;
constexpr UINT kUnplaced = 401;
constexpr UINT kLabelled = 403;
constexpr int kLabelId = 1001;

class DialogTest : public WindowTest {};

struct ExitCase {
    const char* name;
    std::function<void(ScriptedDialog&)> script;
    int expected;
};

class DialogExitTest : public WindowTest, public ::testing::WithParamInterface<ExitCase> {};

POINT CentreOf(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST_P(DialogExitTest, EveryWayOutGivesItsResult) {
    ScriptedDialog dlg(kFixed);
    dlg.script = GetParam().script;
    EXPECT_EQ(dlg.DoModal(), GetParam().expected);
    EXPECT_EQ(dlg.m_hWnd, nullptr) << "the window outlived DoModal";
}

INSTANTIATE_TEST_SUITE_P(
    Exits, DialogExitTest,
    ::testing::Values(
        ExitCase{"Enter", [](ScriptedDialog&) { Press(VK_RETURN); }, IDOK},
        ExitCase{"Esc", [](ScriptedDialog&) { Press(VK_ESCAPE); }, IDCANCEL},
        ExitCase{"SystemClose", [](ScriptedDialog& d) { d.PostMessage(WM_SYSCOMMAND, SC_CLOSE); },
                 IDCANCEL},
        ExitCase{"ClickOk",
                 [](ScriptedDialog& d) { Click(CentreOf(::GetDlgItem(d.m_hWnd, IDOK))); }, IDOK},
        ExitCase{"EndDialog", [](ScriptedDialog& d) { d.EndDialog(42); }, 42},
        ExitCase{"AltF4", [](ScriptedDialog&) { Press(VK_F4, {VK_MENU}); }, IDCANCEL}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogTest, CreationFailureReturnsMinusOne) {
    ScriptedDialog missing(9999);
    bool shown = false;
    missing.script = [&](ScriptedDialog&) { shown = true; };
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_FALSE(shown);
    EXPECT_EQ(missing.m_hWnd, nullptr);
}

class CreateOrderDialog : public ScriptedDialog {
    DECLARE_MESSAGE_MAP()

public:
    CreateOrderDialog() : ScriptedDialog(kLabelled) {}
    bool controlDuringCreate = true;
    bool controlDuringInit = false;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs) {
        log.push_back("create");
        controlDuringCreate = ::GetDlgItem(m_hWnd, kLabelId) != nullptr;
        return CDialog::OnCreate(cs);
    }
    BOOL OnInitDialog() override {
        controlDuringInit = ::GetDlgItem(m_hWnd, kLabelId) != nullptr;
        const BOOL result = ScriptedDialog::OnInitDialog();
        EndDialog(IDOK);
        return result;
    }
};

BEGIN_MESSAGE_MAP(CreateOrderDialog, ScriptedDialog)
ON_WM_CREATE()
END_MESSAGE_MAP()

TEST_F(DialogTest, CreateComesBeforeTheControlsAndInitAfterThem) {
    CreateOrderDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"create", "init"}));
    EXPECT_FALSE(dlg.controlDuringCreate);
    EXPECT_TRUE(dlg.controlDuringInit);
}

TEST_F(DialogTest, PreTranslateMessageCanSwallowEnterAndEsc) {
    ScriptedDialog dlg(kFixed);
    dlg.swallowKeys = TRUE;
    dlg.script = [](ScriptedDialog& d) {
        Press(VK_RETURN);
        Press(VK_ESCAPE);
        // Input keeps its order; a posted close would overtake the keys.
        Click(CentreOf(::GetDlgItem(d.m_hWnd, IDCANCEL)));
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"init", "swallowed", "swallowed", "cancel"}));
}

TEST_F(DialogTest, QuitEndsEveryEnclosingModalLoopAndStaysPosted) {
    ScriptedDialog outer(kFixed);
    int innerResult = 0;
    outer.script = [&](ScriptedDialog& o) {
        ScriptedDialog inner(kUnplaced, &o);
        inner.script = [](ScriptedDialog&) { PostQuitMessage(3); };
        innerResult = inner.DoModal();
    };
    EXPECT_EQ(outer.DoModal(), -1);
    EXPECT_EQ(innerResult, -1);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

class TestApp : public CWinApp {};

TEST_F(DialogTest, TheMainWindowOwnsAParentlessDialogAndIsDisabledMeanwhile) {
    TestApp app;
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, LogClass(), "main", WS_POPUP | WS_VISIBLE, 300, 200, 400, 300,
                              nullptr, nullptr));
    app.m_pMainWnd = &main;
    HWND owner = nullptr;
    BOOL ownerEnabled = TRUE;
    CRect dialogRect;
    ScriptedDialog dlg(kUnplaced);
    dlg.script = [&](ScriptedDialog& d) {
        owner = ::GetWindow(d.m_hWnd, GW_OWNER);
        ownerEnabled = ::IsWindowEnabled(main.m_hWnd);
        d.GetWindowRect(&dialogRect);
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    app.m_pMainWnd = nullptr;
    EXPECT_EQ(owner, main.m_hWnd);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(::IsWindowEnabled(main.m_hWnd));
    EXPECT_EQ(::GetActiveWindow(), main.m_hWnd);
    EXPECT_EQ(dialogRect.CenterPoint().x, 500);
    EXPECT_EQ(dialogRect.CenterPoint().y, 350);
    main.DestroyWindow();
}

TEST_F(DialogTest, ADisabledOwnerIgnoresClicks) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, LogClass(), "owner", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 700,
                               nullptr, nullptr));
    ScriptedDialog dlg(kUnplaced, &owner);
    dlg.script = [&](ScriptedDialog&) {
        MessageLog::Get().Clear();
        Click(POINT{20, 20});
        Press(VK_ESCAPE);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(MessageLog::Get().Of(owner.m_hWnd, {WM_LBUTTONDOWN, WM_LBUTTONUP}).empty());
    owner.DestroyWindow();
}

} // namespace
