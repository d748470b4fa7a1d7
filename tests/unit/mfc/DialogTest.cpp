// Modal dialogs: creation order, results of every way out, the owner, centring, the quit
// message inside nested loops, key filtering and the About box.
#include "MfcTestSupport.h"

using namespace mfctest;
using usertest::Screen;

namespace {

constexpr UINT kFixed = 400;
constexpr UINT kUnplaced = 401;
constexpr UINT kDamaged = 402;
constexpr UINT kMain = 102;
constexpr UINT kAbout = 100;
constexpr UINT kAlt = 0x1000;

class DialogTest : public usertest::WindowTest {};

struct ExitCase {
    const char* name;
    std::function<void(ScriptedDialog&)> script;
    int expected;
};

class DoModalResultTest : public usertest::WindowTest,
                          public ::testing::WithParamInterface<ExitCase> {};

TEST_P(DoModalResultTest, EveryWayOutGivesItsResult) {
    ScriptedDialog dlg(kFixed);
    dlg.script = GetParam().script;
    EXPECT_EQ(dlg.DoModal(), GetParam().expected);
    EXPECT_EQ(dlg.m_hWnd, nullptr) << "the window outlived DoModal";
}

INSTANTIATE_TEST_SUITE_P(
    Exits, DoModalResultTest,
    ::testing::Values(ExitCase{"Enter", [](ScriptedDialog&) { Press(VK_RETURN); }, IDOK},
                      ExitCase{"Esc", [](ScriptedDialog&) { Press(VK_ESCAPE); }, IDCANCEL},
                      ExitCase{"CloseRequest",
                               [](ScriptedDialog& d) { Screen().RequestClose(NativeOf(d.m_hWnd)); },
                               IDCANCEL},
                      ExitCase{"ClickOk",
                               [](ScriptedDialog& d) {
                                   CRect r;
                                   ::GetWindowRect(::GetDlgItem(d.m_hWnd, IDOK), &r);
                                   Screen().Click(r.CenterPoint());
                               },
                               IDOK},
                      ExitCase{"EndDialog", [](ScriptedDialog& d) { d.EndDialog(42); }, 42},
                      ExitCase{"AltF4", [](ScriptedDialog&) { Press(VK_F4, kAlt); }, IDCANCEL}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogTest, CreationFailureReturnsMinusOne) {
    ScriptedDialog missing(9999);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST_F(DialogTest, ADamagedTemplateIsRefusedAndTheOwnerStaysUsable) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, usertest::LogClass(), "owner", WS_POPUP | WS_VISIBLE, 0, 0, 100,
                               100, nullptr, nullptr));
    ScriptedDialog damaged(kDamaged, &owner);
    bool shown = false;
    damaged.script = [&](ScriptedDialog& d) {
        shown = true;
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(damaged.DoModal(), -1);
    EXPECT_FALSE(shown);
    EXPECT_EQ(damaged.m_hWnd, nullptr);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
}

class CreateOrderDialog : public ScriptedDialog {
    DECLARE_MESSAGE_MAP()

public:
    CreateOrderDialog() : ScriptedDialog(kMain) {}
    bool controlDuringCreate = true;
    bool controlDuringInit = false;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs) {
        log.push_back("create");
        controlDuringCreate = ::GetDlgItem(m_hWnd, 1001) != nullptr;
        return CDialog::OnCreate(cs);
    }
    BOOL OnInitDialog() override {
        controlDuringInit = ::GetDlgItem(m_hWnd, 1001) != nullptr;
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
        // Input keeps its order; a close request would overtake the keys as a posted message.
        CRect cancel;
        ::GetWindowRect(::GetDlgItem(d.m_hWnd, IDCANCEL), &cancel);
        Screen().Click(cancel.CenterPoint());
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
    ASSERT_TRUE(main.CreateEx(0, usertest::LogClass(), "main", WS_POPUP | WS_VISIBLE, 300, 200, 400,
                              300, nullptr, nullptr));
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
    EXPECT_EQ(owner, main.m_hWnd);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(::IsWindowEnabled(main.m_hWnd));
    EXPECT_EQ(::GetActiveWindow(), main.m_hWnd);
    EXPECT_EQ(dialogRect.CenterPoint().x, 500);
    EXPECT_EQ(dialogRect.CenterPoint().y, 350);
    app.m_pMainWnd = nullptr;
}

TEST_F(DialogTest, CentringKeepsTheDialogInsideTheWorkArea) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, usertest::LogClass(), "owner", WS_POPUP | WS_VISIBLE, -150, 900,
                               200, 200, nullptr, nullptr));
    CRect fixed;
    CRect centred;
    ScriptedDialog placed(kFixed, &owner);
    placed.script = [&](ScriptedDialog& d) {
        d.GetWindowRect(&fixed);
        d.EndDialog(IDOK);
    };
    placed.DoModal();
    ScriptedDialog unplaced(kUnplaced, &owner);
    unplaced.script = [&](ScriptedDialog& d) {
        d.GetWindowRect(&centred);
        d.EndDialog(IDOK);
    };
    unplaced.DoModal();
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(centred.left, work.left);
    EXPECT_EQ(centred.bottom, work.bottom);
    POINT ownerClient{0, 0};
    owner.ClientToScreen(&ownerClient);
    EXPECT_NE(fixed.left, centred.left) << "a dialog with its own position was moved";
    owner.DestroyWindow();
}

TEST_F(DialogTest, ADisabledOwnerIgnoresClicks) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, usertest::LogClass(), "owner", WS_POPUP | WS_VISIBLE, 0, 0, 1000,
                               900, nullptr, nullptr));
    ScriptedDialog dlg(kUnplaced, &owner);
    dlg.script = [&](ScriptedDialog&) {
        usertest::MessageLog::Get().Clear();
        Screen().Click(POINT{20, 20});
        Press(VK_ESCAPE);
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(
        usertest::MessageLog::Get().Of(owner.m_hWnd, {WM_LBUTTONDOWN, WM_LBUTTONUP}).empty());
    owner.DestroyWindow();
}

class MainTemplateDialog : public CDialog {
public:
    MainTemplateDialog() : CDialog(kMain) {}
    CProgressCtrl m_progress;
    CRect window;
    CRect bar;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 1001, m_progress); }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        GetWindowRect(&window);
        m_progress.GetWindowRect(&bar);
        ScreenToClient(&bar);
        EndDialog(IDOK);
        return TRUE;
    }
};

TEST_F(DialogTest, TemplateSizesComeFromTheTemplateFontAndDataExchangeBindsTheControl) {
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(8, 96, 72);
    lf.lfWeight = FW_NORMAL;
    std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", "MS Sans Serif");
    const HFONT font = CreateFontIndirectA(&lf);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(dc, &tm));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);

    MainTemplateDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.window.Width(), MulDiv(314, tm.tmAveCharWidth, 4) + 2);
    EXPECT_EQ(dlg.window.Height(), MulDiv(177, tm.tmHeight, 8) + 2);
    EXPECT_EQ(dlg.bar.left, MulDiv(29, tm.tmAveCharWidth, 4));
    EXPECT_EQ(dlg.bar.top, MulDiv(65, tm.tmHeight, 8));
    EXPECT_EQ(dlg.bar.Width(), MulDiv(241, tm.tmAveCharWidth, 4));
    EXPECT_EQ(dlg.m_progress.m_hWnd, nullptr) << "the member kept a destroyed control";
}

class MenuDialog : public ScriptedDialog {
    DECLARE_MESSAGE_MAP()

public:
    MenuDialog() : ScriptedDialog(kFixed) {}
    std::vector<UINT> commands;

protected:
    BOOL OnInitDialog() override {
        CMenu* menu = GetSystemMenu(FALSE);
        menu->AppendMenu(MF_SEPARATOR);
        menu->AppendMenu(MF_STRING, 0x10, "&About Update...");
        return ScriptedDialog::OnInitDialog();
    }
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam) {
        commands.push_back(nID & 0xFFF0);
        if ((nID & 0xFFF0) == 0x10) {
            EndDialog(IDOK);
            return;
        }
        CDialog::OnSysCommand(nID, lParam);
    }
};

BEGIN_MESSAGE_MAP(MenuDialog, ScriptedDialog)
ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

TEST_F(DialogTest, TheSystemMenuOpensWithAltSpaceAndSendsTheChoice) {
    MenuDialog dlg;
    dlg.script = [](ScriptedDialog&) {
        Press(VK_SPACE, kAlt);
        Press(VK_DOWN); // from Move to Close
        Press(VK_DOWN); // past the separator to the appended item
        Press(VK_RETURN);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.commands, (std::vector<UINT>{SC_KEYMENU, 0x10}));
}

TEST_F(DialogTest, EscClosesTheSystemMenuWithoutACommand) {
    MenuDialog dlg;
    dlg.script = [](ScriptedDialog&) {
        Press(VK_SPACE, kAlt);
        Press(VK_ESCAPE); // closes the menu only
        Press(VK_ESCAPE); // now the dialog's cancel
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.commands, (std::vector<UINT>{SC_KEYMENU}));
}

TEST_F(DialogTest, TheAboutBoxLooksLikeAClassicAboutBox) {
    platform::display::Image shot;
    CRect rect;
    CRect ok;
    ScriptedDialog about(kAbout);
    about.script = [&](ScriptedDialog& d) {
        d.GetWindowRect(&rect);
        ::GetWindowRect(::GetDlgItem(d.m_hWnd, IDOK), &ok);
        shot = Screen().Screenshot();
        d.EndDialog(IDOK);
    };
    ASSERT_EQ(about.DoModal(), IDOK);
    const auto at = [&](int x, int y) { return shot.At(rect.left + x, rect.top + y); };
    EXPECT_EQ(at(5, 10), 0x00000080u) << "the caption starts dark blue";
    EXPECT_NE(at(rect.Width() - 30, 10), 0x00000080u) << "and fades to the right";
    EXPECT_EQ(shot.At(ok.left, ok.top), 0x00000000u) << "the default button's black frame";
    EXPECT_EQ(shot.At(ok.left + 3, ok.top + 3), 0x00C0C0C0u) << "the button face";
    int textPixels = 0;
    for (int y = 30; y < rect.Height() - 5; ++y) {
        for (int x = 70; x < 200; ++x) {
            textPixels += at(x, y) == 0 ? 1 : 0;
        }
    }
    EXPECT_GT(textPixels, 20) << "no text in the two static lines";
    EXPECT_TRUE(platform::display::WritePpm(shot, "about-box.ppm"));
}

} // namespace
