// A tooltip fed by its button's PreTranslateMessage, with real pointer input inside a modal
// loop: it appears only after the hover delay, below the pointer, and goes on a press or when
// the pointer leaves the button (which then relays nothing more).
#include "Win32Test.h"

#include "platform/mfc.h"

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

using namespace win32test;

namespace {

constexpr UINT kButtonId = 1234;
constexpr UINT_PTR kStepTimer = 5;
constexpr int kMaxTicks = 400;
// Shorter than the system's hover time, so that waiting out several of them stays quick.
constexpr int kInitialMs = 100;

class RelayButton : public CButton {
public:
    CToolTipCtrl tip;
    // Whether the tip was visible right after each relayed message.
    std::vector<std::pair<UINT, bool>> relayed;

    BOOL PreTranslateMessage(MSG* pMsg) override {
        tip.RelayEvent(pMsg);
        if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_LBUTTONDOWN) {
            relayed.emplace_back(pMsg->message, tip.IsWindowVisible() != FALSE);
        }
        return CButton::PreTranslateMessage(pMsg);
    }
};

// Runs its steps from a timer inside its own modal loop; a step returns false to be asked
// again on the next tick.
class SteppedDialog : public CDialog {
    DECLARE_MESSAGE_MAP()

public:
    SteppedDialog() : CDialog(400) {}
    RelayButton button;
    std::vector<std::function<bool()>> steps;
    std::size_t done = 0;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        button.Create("Tip", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 90, 40), this,
                      kButtonId);
        button.tip.Create(&button);
        CRect client;
        button.GetClientRect(&client);
        button.tip.AddTool(&button, "Hello", &client, 1);
        button.tip.SendMessage(TTM_SETDELAYTIME, TTDT_INITIAL, kInitialMs);
        button.tip.Activate(TRUE);
        SetTimer(kStepTimer, 100);
        return TRUE;
    }
    afx_msg void OnTimer(UINT_PTR) {
        if (++ticks_ > kMaxTicks || done == steps.size()) {
            EndDialog(IDCANCEL);
            return;
        }
        if (IsWindowVisible() && steps[done]()) {
            ++done;
        }
    }

private:
    int ticks_ = 0;
};

BEGIN_MESSAGE_MAP(SteppedDialog, CDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

using Step = std::function<bool()>;
using Clock = std::chrono::steady_clock;

class TooltipRelayTest : public WindowTest {
protected:
    bool Visible() { return dlg.button.tip.IsWindowVisible() != FALSE; }
    CPoint OnButton() const { return CPoint(button.left + 5, button.top + 5); }
    CPoint OffButton() const { return CPoint(button.left - 5, button.bottom + 15); }
    static Step MoveThere(const std::function<CPoint()>& where) {
        return [where] {
            MoveTo(where());
            return true;
        };
    }
    Step Start() {
        return [this] {
            dlg.button.GetWindowRect(&button);
            MoveTo(button.CenterPoint());
            return true;
        };
    }
    Step UntilShown() {
        return [this] { return Visible(); };
    }
    Step UntilHidden() {
        return [this] { return !Visible(); };
    }
    // Acts, and starts the clock for the next StaysHidden or Wait.
    Step Marked(const std::function<void()>& act) {
        return [this, act] {
            act();
            since = Clock::now();
            return true;
        };
    }
    // Passes once the tip has stayed down for several hover delays.
    Step StaysHidden(const char* what) {
        return [this, what] {
            if (Visible()) {
                cameBack.push_back(what);
                return true;
            }
            return Clock::now() - since > std::chrono::milliseconds(4 * kInitialMs);
        };
    }
    void Run(std::vector<Step> steps) {
        dlg.steps = std::move(steps);
        dlg.DoModal();
        ASSERT_EQ(dlg.done, dlg.steps.size()) << "stuck at step " << dlg.done;
        EXPECT_TRUE(cameBack.empty()) << "the tip came back " << cameBack.front();
    }

    SteppedDialog dlg;
    CRect button;
    std::vector<std::string> cameBack;
    Clock::time_point since;
};

TEST_F(TooltipRelayTest, ShowsAfterTheDelayAndHidesOnLeaveAndPress) {
    CRect tipRect;
    CString tipText;
    Run({
        Start(),
        [&] {
            if (!Visible()) {
                return false;
            }
            dlg.button.tip.GetWindowRect(&tipRect);
            dlg.button.tip.GetWindowText(tipText);
            // Off the button, onto the dialog: the button sees no more mouse messages.
            MoveTo(OffButton());
            return true;
        },
        UntilHidden(),
        Marked([&] {
            MoveTo(OnButton());
            MoveTo(OffButton());
        }),
        StaysHidden("after the pointer only passed over the button"),
        MoveThere([&] { return OnButton(); }),
        UntilShown(),
        Marked([] {
            ButtonDown();
            ButtonUp();
        }),
        StaysHidden("while the pointer rested after the press"),
    });
    ASSERT_FALSE(dlg.button.relayed.empty());
    EXPECT_EQ(dlg.button.relayed.front(), std::make_pair(UINT{WM_MOUSEMOVE}, false))
        << "the tip showed without the hover delay";
    EXPECT_EQ(tipText, CString("Hello"));
    EXPECT_GE(tipRect.top, button.CenterPoint().y + 10) << "the tip covers the pointer";
    EXPECT_NEAR(tipRect.left, button.CenterPoint().x, 2);
    bool pressSeen = false;
    for (const auto& [message, shown] : dlg.button.relayed) {
        if (message == WM_LBUTTONDOWN) {
            pressSeen = true;
            EXPECT_FALSE(shown) << "the press left the tip up";
        }
    }
    EXPECT_TRUE(pressSeen) << "the press was not relayed";
}

TEST_F(TooltipRelayTest, AfterItsTimeUpItReturnsOnlyOnceThePointerLeftAndCameBack) {
    Run({
        [this] {
            dlg.button.tip.SendMessage(TTM_SETDELAYTIME, TTDT_AUTOPOP, 1000);
            return true;
        },
        Start(),
        UntilShown(),
        Marked([] {}),
        UntilHidden(),
        StaysHidden("while the pointer rested after its time was up"),
        Marked([&] { MoveTo(OffButton()); }),
        // Long enough for the tip to notice the pointer has gone.
        [this] { return Clock::now() - since > std::chrono::milliseconds(3 * kInitialMs); },
        MoveThere([&] { return OnButton(); }),
        UntilShown(),
    });
}

} // namespace
