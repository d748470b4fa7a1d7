// Message maps dispatch in table order, derived before base; default processing reaches the
// window's own procedure; control notifications carry the control's handle; owner-drawn
// buttons draw themselves through reflection.
#include "ScriptedDialog.h"
#include "Win32Test.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

using namespace mfctest;
using namespace win32test;

namespace {

constexpr UINT kFirst = WM_USER + 5;
constexpr UINT kSecond = WM_USER + 6;
constexpr UINT kUnmapped = WM_USER + 7;

class BaseWnd : public CWnd {
    DECLARE_MESSAGE_MAP()

public:
    std::vector<std::string> calls;

protected:
    afx_msg LRESULT OnFirstBase(WPARAM, LPARAM) {
        calls.push_back("base-first");
        return 1;
    }
    afx_msg LRESULT OnSecond(WPARAM w, LPARAM) {
        calls.push_back("base-second");
        return static_cast<LRESULT>(w) + 100;
    }
};

BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
ON_MESSAGE(kFirst, OnFirstBase)
ON_MESSAGE(kSecond, OnSecond)
END_MESSAGE_MAP()

class DerivedWnd : public BaseWnd {
    DECLARE_MESSAGE_MAP()

protected:
    afx_msg LRESULT OnFirstDerived(WPARAM, LPARAM) {
        calls.push_back("derived-first");
        return 2;
    }
    afx_msg LRESULT OnFirstAgain(WPARAM, LPARAM) {
        calls.push_back("derived-first-again");
        return 3;
    }
};

BEGIN_MESSAGE_MAP(DerivedWnd, BaseWnd)
ON_MESSAGE(kFirst, OnFirstDerived)
ON_MESSAGE(kFirst, OnFirstAgain)
END_MESSAGE_MAP()

class MessageMapTest : public WindowTest {};

struct DispatchCase {
    UINT message;
    LRESULT result;
    const char* handler; // nullptr: default processing
};

TEST_F(MessageMapTest, TheFirstEntryOfTheMostDerivedTableWins) {
    DerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, LogClass(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    const DispatchCase cases[] = {
        {kFirst, 2, "derived-first"}, {kSecond, 107, "base-second"}, {kUnmapped, 0, nullptr}};
    for (const DispatchCase& c : cases) {
        wnd.calls.clear();
        MessageLog::Get().Clear();
        EXPECT_EQ(wnd.SendMessage(c.message, 7), c.result);
        if (c.handler) {
            EXPECT_EQ(wnd.calls, std::vector<std::string>{c.handler});
        } else {
            EXPECT_TRUE(wnd.calls.empty());
        }
        const bool reachedDefault = !MessageLog::Get().Of(wnd.m_hWnd).empty();
        EXPECT_EQ(reachedDefault, c.handler == nullptr)
            << "message " << c.message << ": default processing is only for unmapped messages";
    }
    wnd.DestroyWindow();
}

TEST_F(MessageMapTest, CreationSubclassesSoTheObjectSeesWmCreate) {
    DerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, LogClass(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    EXPECT_EQ(::GetWindowLongPtrA(wnd.m_hWnd, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(&AfxWndProc));
    EXPECT_FALSE(MessageLog::Get().Of(wnd.m_hWnd, {WM_NCCREATE, WM_CREATE}).empty())
        << "the class procedure did not get the creation messages through Default";
    const HWND hwnd = wnd.m_hWnd;
    wnd.DestroyWindow();
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

// A button like the skinned one: owner-drawn from PreSubclassWindow, drawing in DrawItem.
class OwnerButton : public CButton {
public:
    std::vector<UINT> states;

protected:
    void PreSubclassWindow() override {
        SendMessage(BM_SETSTYLE, (GetStyle() & 0xFF) | BS_OWNERDRAW, TRUE);
        CButton::PreSubclassWindow();
    }
    void DrawItem(LPDRAWITEMSTRUCT dis) override { states.push_back(dis->itemState); }
};

class CommandDialog : public ScriptedDialog {
public:
    CommandDialog() : ScriptedDialog(401) {}
    OwnerButton button;
    std::vector<std::pair<WPARAM, LPARAM>> commands;
    BOOL baseAnswer = TRUE;

protected:
    BOOL OnInitDialog() override {
        button.Create("", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 40), this, 0);
        return ScriptedDialog::OnInitDialog();
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        commands.emplace_back(wParam, lParam);
        baseAnswer = CDialog::OnCommand(wParam, lParam);
        if (reinterpret_cast<HWND>(lParam) == button.m_hWnd) {
            EndDialog(77);
        }
        return baseAnswer;
    }
};

TEST_F(MessageMapTest, AClickReachesTheParentWithIdZeroAndTheButtonsHandle) {
    CommandDialog dlg;
    HWND button = nullptr;
    dlg.script = [&](ScriptedDialog&) {
        button = dlg.button.m_hWnd;
        CRect r;
        dlg.button.GetWindowRect(&r);
        Click(r.CenterPoint());
    };
    EXPECT_EQ(dlg.DoModal(), 77);
    ASSERT_EQ(dlg.commands.size(), 1u);
    EXPECT_EQ(dlg.commands[0].first, MAKEWPARAM(0, BN_CLICKED));
    EXPECT_EQ(dlg.commands[0].second, reinterpret_cast<LPARAM>(button));
    EXPECT_FALSE(dlg.baseAnswer) << "the base handling took a notification from id 0";
    ASSERT_FALSE(dlg.button.states.empty());
    EXPECT_NE(std::find_if(dlg.button.states.begin(), dlg.button.states.end(),
                           [](UINT s) { return (s & ODS_SELECTED) != 0; }),
              dlg.button.states.end())
        << "the press was never drawn selected";
    EXPECT_FALSE(dlg.button.states.back() & ODS_SELECTED) << "still drawn pressed after release";
}

TEST_F(MessageMapTest, DefaultRunsTheControlsOwnProcedure) {
    CommandDialog dlg;
    HWND capture = nullptr;
    dlg.script = [&](ScriptedDialog& d) {
        ::SendMessageA(dlg.button.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        capture = ::GetCapture();
        ::SendMessageA(dlg.button.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        d.EndDialog(IDOK);
    };
    dlg.DoModal();
    EXPECT_NE(capture, nullptr);
    EXPECT_EQ(dlg.commands.size(), 1u) << "the button class did not report its click";
}

TEST_F(MessageMapTest, CommandsWithoutAControlGoToOnCommandEntries) {
    ScriptedDialog dlg(401);
    dlg.script = [](ScriptedDialog& d) { d.PostMessage(WM_COMMAND, IDOK, 0); };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.log.back(), "ok");
}

TEST_F(MessageMapTest, TooltipControlHoldsOneToolAndShowsAfterTheDelay) {
    CommandDialog dlg;
    CToolTipCtrl tip;
    int toolsAfterUpdate = 0;
    bool shownAfterDelay = false;
    bool hiddenAfterPress = false;
    dlg.script = [&](ScriptedDialog&) {
        ASSERT_TRUE(tip.Create(&dlg.button));
        tip.Activate(FALSE);
        CRect client;
        dlg.button.GetClientRect(&client);
        tip.AddTool(&dlg.button, "OK", &client, 1);
        tip.UpdateTipText("Cancel", &dlg.button, 1);
        toolsAfterUpdate = tip.GetToolCount();
        tip.Activate(TRUE);
        // The tip checks that the pointer really rests on the tool before it shows.
        const POINT pointer = ScreenPoint(dlg.button.m_hWnd, 5, 5);
        MoveTo(pointer);
        PumpUntil([&] {
            POINT at{};
            ::GetCursorPos(&at);
            return at.x == pointer.x && at.y == pointer.y;
        });
        MSG move{dlg.button.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), 0, POINT{}};
        tip.RelayEvent(&move);
        shownAfterDelay = PumpUntil([&] { return tip.IsWindowVisible() != FALSE; });
        MSG press{dlg.button.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5), 0, POINT{}};
        tip.RelayEvent(&press);
        hiddenAfterPress = !tip.IsWindowVisible();
        dlg.EndDialog(IDOK);
    };
    dlg.DoModal();
    EXPECT_EQ(toolsAfterUpdate, 1);
    EXPECT_TRUE(shownAfterDelay);
    EXPECT_TRUE(hiddenAfterPress);
    EXPECT_EQ(tip.m_hWnd, nullptr) << "the tooltip outlived its owner";
}

} // namespace
