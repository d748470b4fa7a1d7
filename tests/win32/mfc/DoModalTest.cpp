// CDialog::DoModal from a template in memory: OnInitDialog runs once, every way out returns
// its value, the owner is disabled while the dialog runs and enabled before DoModal returns,
// and the dialog's window is gone afterwards.
#include "DialogTemplate.h"
#include "Win32Test.h"

#include "platform/mfc.h"

#include <functional>
#include <string>

using namespace win32test;

namespace {

constexpr UINT kStep = WM_USER + 100;
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | DS_MODALFRAME | WS_VISIBLE;

// Runs its script once the modal loop is running, and notes what it saw there.
class ScriptedDialog : public CDialog {
    DECLARE_MESSAGE_MAP()

public:
    std::function<void(ScriptedDialog&)> script;
    int initCalls = 0;
    HWND hwndInside = nullptr;
    HWND ownerInside = nullptr;
    bool ownerEnabledInside = true;
    bool ownerEnabledAtDestroy = false;

    using CDialog::EndDialog;

protected:
    BOOL OnInitDialog() override {
        ++initCalls;
        hwndInside = m_hWnd;
        PostMessage(kStep);
        return CDialog::OnInitDialog();
    }

    afx_msg LRESULT OnStep(WPARAM, LPARAM) {
        ownerInside = ::GetWindow(m_hWnd, GW_OWNER);
        ownerEnabledInside = ownerInside && ::IsWindowEnabled(ownerInside);
        script(*this);
        return 0;
    }

    afx_msg void OnDestroy() {
        ownerEnabledAtDestroy = ownerInside && ::IsWindowEnabled(ownerInside);
        CDialog::OnDestroy();
    }
};

BEGIN_MESSAGE_MAP(ScriptedDialog, CDialog)
ON_MESSAGE(kStep, OnStep)
ON_WM_DESTROY()
END_MESSAGE_MAP()

struct ExitCase {
    const char* name;
    std::function<void(ScriptedDialog&)> script;
    int expected;
};

class DoModalTest : public WindowTest, public ::testing::WithParamInterface<ExitCase> {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        owner.reset(CreateLogWindow(WS_POPUP | WS_VISIBLE, 60, 60, 240, 180));
        ASSERT_NE(owner.get(), nullptr);
        ownerWnd.Attach(owner.get());
    }

    void TearDown() override {
        ownerWnd.Detach();
        WindowTest::TearDown();
    }

    UniqueWindow owner;
    CWnd ownerWnd;
};

TEST_P(DoModalTest, EveryWayOutReturnsItsValueWithTheOwnerGivenBack) {
    DialogTemplate t(kDialogStyle, 120, 60);
    t.AddItem(BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, kButtonAtom, "OK", 10, 30, 40, 14);
    ScriptedDialog dlg;
    ASSERT_TRUE(dlg.InitModalIndirect(t.Get(), &ownerWnd));
    dlg.script = GetParam().script;
    MessageLog::Get().Clear();

    EXPECT_EQ(dlg.DoModal(), GetParam().expected);

    EXPECT_EQ(dlg.initCalls, 1);
    EXPECT_EQ(dlg.ownerInside, owner.get());
    EXPECT_FALSE(dlg.ownerEnabledInside);
    EXPECT_TRUE(dlg.ownerEnabledAtDestroy) << "the owner must be usable when the dialog goes";
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    ASSERT_NE(dlg.hwndInside, nullptr);
    EXPECT_FALSE(IsWindow(dlg.hwndInside));
    EXPECT_EQ(MessageLog::Get().Of(owner.get(), {WM_ENABLE}),
              (std::vector<UINT>{WM_ENABLE, WM_ENABLE}));
}

INSTANTIATE_TEST_SUITE_P(
    Exits, DoModalTest,
    ::testing::Values(
        ExitCase{"EndDialogOk", [](ScriptedDialog& d) { d.EndDialog(IDOK); }, IDOK},
        ExitCase{"EndDialogCancel", [](ScriptedDialog& d) { d.EndDialog(IDCANCEL); }, IDCANCEL},
        ExitCase{"EndDialogValue", [](ScriptedDialog& d) { d.EndDialog(77); }, 77},
        ExitCase{"OkCommand",
                 [](ScriptedDialog& d) { d.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED)); },
                 IDOK},
        ExitCase{
            "CancelCommand",
            [](ScriptedDialog& d) { d.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED)); },
            IDCANCEL},
        ExitCase{"Close", [](ScriptedDialog& d) { d.SendMessage(WM_CLOSE); }, IDCANCEL}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DoModalIndirectTest, NoTemplateIsRefused) {
    ScriptedDialog dlg;
    EXPECT_FALSE(dlg.InitModalIndirect(nullptr));
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.initCalls, 0);
}

} // namespace
