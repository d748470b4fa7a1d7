// The prompt and the notice: their skins, answers, placement over the main window, drag and
// clean-up.
#include "NoticeDlg.h"
#include "PromptDlg.h"
#include "SkinnedWindowChecks.h"
#include "user/Window.h"

#include <memory>

using skintest::Do;
using skintest::Image;
using skintest::ScriptRunner;
using skintest::Until;
using usertest::Screen;

namespace {

constexpr UINT kAlt = 0x1000;

class TestApp : public CWinApp {};

template <typename Base> class Probe : public Base {
public:
    using Base::m_bmpBackground;
    using Base::m_bmpShape;
    using Base::m_btnOK;
    using Base::m_hRgn;
};

class PromptProbe : public Probe<CPromptDlg> {
public:
    using CPromptDlg::m_btnCancel;
};
using NoticeProbe = Probe<CNoticeDlg>;

// One popup, whichever class it is.
struct Popup {
    std::unique_ptr<CDialog> dialog;
    CSkinButton* ok = nullptr;
    CSkinButton* cancel = nullptr;
    CBitmap* shape = nullptr;
    CBitmap* background = nullptr;
};

struct PopupCase {
    const char* name;
    bool prompt;
    const char* skinName;
    const char* background;
    const char* hover;
    const char* pressed;
    RECT ok;
    RECT cancel;
};

void PrintTo(const PopupCase& c, std::ostream* os) {
    *os << c.name;
}

Popup MakePopup(const PopupCase& c) {
    Popup popup;
    if (c.prompt) {
        auto prompt = std::make_unique<PromptProbe>();
        popup.ok = &prompt->m_btnOK;
        popup.cancel = &prompt->m_btnCancel;
        popup.shape = &prompt->m_bmpShape;
        popup.background = &prompt->m_bmpBackground;
        popup.dialog = std::move(prompt);
        return popup;
    }
    auto notice = std::make_unique<NoticeProbe>();
    notice->m_strSkinName = c.skinName;
    popup.ok = &notice->m_btnOK;
    popup.shape = &notice->m_bmpShape;
    popup.background = &notice->m_bmpBackground;
    popup.dialog = std::move(notice);
    return popup;
}

const PopupCase kPrompt{
    "Prompt", true, "", "1026", "1027", "1025", {216, 228, 234, 243}, {259, 228, 304, 243}};
const PopupCase kSuccess{"SuccessNotice", false,  "skin_congratulation_fw.ini", "1005",
                         "1006",          "1004", {224, 229, 249, 244},         {}};
const PopupCase kFailure{"FailureNotice", false,  "skin_error_fw.ini",  "1008",
                         "1009",          "1007", {224, 229, 249, 244}, {}};
const PopupCase kUpToDate{"UpToDateNotice",     false, "", "1030", "1029", "1028",
                          {224, 229, 249, 244}, {}};
const PopupCase kCapitals{
    "NameInCapitalsIsTheDefault", false, "SKIN_ERROR_FW.INI", "1030", "1029", "1028",
    {224, 229, 249, 244},         {}};
const PopupCase kOtherName{
    "AnyOtherNameIsTheDefault", false, "skin_error_fw.ini ", "1030", "1029", "1028",
    {224, 229, 249, 244},       {}};

// The main window the popups belong to: as large as the pictures, so a popup centred over it
// covers it exactly.
class PopupTest : public usertest::WindowTest {
protected:
    void SetUp() override {
        usertest::WindowTest::SetUp();
        ASSERT_TRUE(main_.CreateEx(0, usertest::LogClass(), "main",
                                   WS_POPUP | WS_VISIBLE | WS_BORDER, 420, 300, 380, 280, nullptr,
                                   nullptr));
        app_.m_pMainWnd = &main_;
        main_.SetActiveWindow();
        skintest::PumpUi();
    }
    void TearDown() override {
        app_.m_pMainWnd = nullptr;
        main_.DestroyWindow();
        usertest::WindowTest::TearDown();
    }

    static ScriptRunner::Step UntilShown(const Popup& popup) {
        CDialog* dialog = popup.dialog.get();
        return [dialog]() { return dialog->m_hWnd && dialog->IsWindowVisible(); };
    }
    static ScriptRunner::Step MoveTo(POINT p) {
        return Do([p]() { Screen().MoveMouse(p); });
    }
    static POINT ScreenCentre(const CWnd* wnd, RECT clientRect) {
        return skintest::CentreOf(skintest::ClientToScreenRect(wnd->m_hWnd, clientRect));
    }

    TestApp app_;
    CWnd main_;
};

class PopupLookTest : public PopupTest, public ::testing::WithParamInterface<PopupCase> {};

TEST_P(PopupLookTest, ShowsItsPicturesInTheMasksOutline) {
    const PopupCase& c = GetParam();
    Popup popup = MakePopup(c);
    CDialog* dlg = popup.dialog.get();
    const Image background = skintest::SkinPicture(c.background);
    const Image hover = skintest::SkinPicture(c.hover);
    const Image pressed = skintest::SkinPicture(c.pressed);
    const Image mask = skintest::SkinMask();
    ASSERT_FALSE(skintest::SameImage(hover, background)) << "the pictures must differ";
    std::string tip;
    ScriptRunner script({
        UntilShown(popup),
        Do([&]() {
            EXPECT_TRUE(skintest::HasSkinGeometry(dlg->m_hWnd, background));
            EXPECT_TRUE(skintest::HasMaskShape(dlg->m_hWnd, mask));
            EXPECT_TRUE(skintest::ShowsPicture(dlg->m_hWnd, background, mask));
            Screen().MoveMouse(ScreenCentre(dlg, c.ok));
        }),
        Until("OK hovered",
              [&]() { return static_cast<bool>(skintest::ShowsCut(dlg->m_hWnd, c.ok, hover)); }),
        Do([&]() { EXPECT_EQ(::GetCapture(), popup.ok->m_hWnd); }),
        [&]() {
            tip = skintest::VisibleTooltipText();
            return !tip.empty();
        },
        Do([&]() { Screen().PressButton(1); }),
        Until("OK pressed",
              [&]() { return static_cast<bool>(skintest::ShowsCut(dlg->m_hWnd, c.ok, pressed)); }),
        Do([&]() { Screen().ReleaseButton(1); }),
    });
    EXPECT_EQ(dlg->DoModal(), IDOK);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(tip, "OK");
}

INSTANTIATE_TEST_SUITE_P(Popups, PopupLookTest,
                         ::testing::Values(kPrompt, kSuccess, kFailure, kUpToDate, kCapitals,
                                           kOtherName),
                         [](const auto& info) { return std::string(info.param.name); });

struct ExitCase {
    const char* name;
    const PopupCase* popup;
    std::function<void(Popup&)> act;
    int expected;
};

void PrintTo(const ExitCase& c, std::ostream* os) {
    *os << c.name;
}

void ClickOn(CWnd* button) {
    CRect rect;
    button->GetWindowRect(&rect);
    Screen().Click(rect.CenterPoint());
}

class PopupExitTest : public PopupTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(PopupExitTest, EveryWayOutGivesItsAnswer) {
    Popup popup = MakePopup(*GetParam().popup);
    ScriptRunner script({UntilShown(popup), Do([&]() { GetParam().act(popup); })});
    EXPECT_EQ(popup.dialog->DoModal(), GetParam().expected);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(popup.dialog->m_hWnd, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Exits, PopupExitTest,
    ::testing::Values(
        ExitCase{"PromptOkButton", &kPrompt, [](Popup& p) { ClickOn(p.ok); }, IDOK},
        ExitCase{"PromptEnter", &kPrompt, [](Popup&) { Screen().PressKey(VK_RETURN); }, IDOK},
        ExitCase{"PromptCancelButton", &kPrompt, [](Popup& p) { ClickOn(p.cancel); }, IDCANCEL},
        ExitCase{"PromptEsc", &kPrompt, [](Popup&) { Screen().PressKey(VK_ESCAPE); }, IDCANCEL},
        ExitCase{"PromptCloseRequest", &kPrompt,
                 [](Popup& p) {
                     Screen().RequestClose(
                         platform::user::FindWindowObject(p.dialog->m_hWnd)->native);
                 },
                 IDCANCEL},
        ExitCase{"PromptAltF4", &kPrompt, [](Popup&) { Screen().PressKey(VK_F4, kAlt); }, IDCANCEL},
        ExitCase{"NoticeOkButton", &kFailure, [](Popup& p) { ClickOn(p.ok); }, IDOK},
        ExitCase{"NoticeEnter", &kSuccess, [](Popup&) { Screen().PressKey(VK_RETURN); }, IDOK},
        ExitCase{"NoticeEsc", &kUpToDate, [](Popup&) { Screen().PressKey(VK_ESCAPE); }, IDCANCEL}),
    [](const auto& info) { return std::string(info.param.name); });

class PopupPlacementTest : public PopupTest, public ::testing::WithParamInterface<PopupCase> {};

// Wherever the main window is, as long as it lies inside the work area.
TEST_P(PopupPlacementTest, CoversTheMainWindowExactlyAndDisablesIt) {
    for (const POINT at : {POINT{420, 300}, POINT{37, 611}, POINT{890, 12}}) {
        main_.SetWindowPos(nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Popup popup = MakePopup(GetParam());
        CRect popupRect;
        BOOL mainEnabled = TRUE;
        HWND owner = nullptr;
        ScriptRunner script({UntilShown(popup), Do([&]() {
                                 popup.dialog->GetWindowRect(&popupRect);
                                 mainEnabled = main_.IsWindowEnabled();
                                 owner = ::GetWindow(popup.dialog->m_hWnd, GW_OWNER);
                                 Screen().PressKey(VK_ESCAPE);
                             })});
        EXPECT_EQ(popup.dialog->DoModal(), IDCANCEL);
        EXPECT_EQ(popupRect, skintest::WindowRectOf(main_.m_hWnd)) << at.x << ", " << at.y;
        EXPECT_FALSE(mainEnabled);
        EXPECT_EQ(owner, main_.m_hWnd);
        EXPECT_TRUE(main_.IsWindowEnabled());
    }
}

INSTANTIATE_TEST_SUITE_P(Popups, PopupPlacementTest, ::testing::Values(kPrompt, kSuccess),
                         [](const auto& info) { return std::string(info.param.name); });

class PopupDragTest : public PopupTest, public ::testing::WithParamInterface<PopupCase> {};

TEST_P(PopupDragTest, APressOnTheBackgroundDragsAndOneOnAButtonDoesNot) {
    Popup popup = MakePopup(GetParam());
    CDialog* dlg = popup.dialog.get();
    CRect start;
    CRect afterDrag;
    CRect afterButtonPress;
    const POINT offset{-70, 45};
    ScriptRunner script({
        UntilShown(popup),
        Do([&]() {
            dlg->GetWindowRect(&start);
            Screen().MoveMouse(POINT{start.left + 150, start.top + 120});
        }),
        Do([&]() {
            Screen().PressButton(1);
            Screen().MoveMouse(POINT{start.left + 150 + offset.x / 2, start.top + 120});
            Screen().MoveMouse(POINT{start.left + 150 + offset.x, start.top + 120 + offset.y});
            Screen().ReleaseButton(1);
        }),
        Do([&]() {
            dlg->GetWindowRect(&afterDrag);
            Screen().MoveMouse(ScreenCentre(dlg, GetParam().ok));
        }),
        Do([&]() {
            const POINT on = ScreenCentre(dlg, GetParam().ok);
            Screen().PressButton(1);
            Screen().MoveMouse(POINT{on.x - 100, on.y - 100});
        }),
        Do([&]() {
            dlg->GetWindowRect(&afterButtonPress);
            Screen().ReleaseButton(1);
        }),
        Do([&]() { Screen().PressKey(VK_ESCAPE); }),
    });
    EXPECT_EQ(dlg->DoModal(), IDCANCEL) << "a press that left the button must not count";
    ASSERT_TRUE(script.Finished());
    CRect expected = start;
    expected.OffsetRect(offset);
    EXPECT_EQ(afterDrag, expected);
    EXPECT_EQ(afterButtonPress, afterDrag);
}

INSTANTIATE_TEST_SUITE_P(Popups, PopupDragTest, ::testing::Values(kPrompt, kFailure),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PopupTest, DestroyingThePopupFreesItsPictures) {
    for (const PopupCase* c : {&kPrompt, &kSuccess}) {
        Popup popup = MakePopup(*c);
        HGDIOBJ shape = nullptr;
        HGDIOBJ background = nullptr;
        ScriptRunner script({UntilShown(popup), Do([&]() {
                                 shape = popup.shape->GetSafeHandle();
                                 background = popup.background->GetSafeHandle();
                                 Screen().PressKey(VK_ESCAPE);
                             })});
        popup.dialog->DoModal();
        ASSERT_NE(shape, nullptr) << c->name;
        ASSERT_NE(background, nullptr) << c->name;
        EXPECT_EQ(::GetObjectType(shape), 0u) << c->name;
        EXPECT_EQ(::GetObjectType(background), 0u) << c->name;
    }
}

TEST_F(PopupTest, ButtonsCarryIdZeroAndStartUnlatched) {
    Popup popup = MakePopup(kPrompt);
    std::vector<int> ids;
    const Image background = skintest::SkinPicture("1026");
    ScriptRunner script({UntilShown(popup), Do([&]() {
                             const HWND hDlg = popup.dialog->m_hWnd;
                             for (CSkinButton* b : {popup.ok, popup.cancel}) {
                                 ids.push_back(b->GetDlgCtrlID());
                             }
                             EXPECT_TRUE(skintest::ShowsCut(hDlg, kPrompt.ok, background));
                             EXPECT_TRUE(skintest::ShowsCut(hDlg, kPrompt.cancel, background));
                             Screen().PressKey(VK_ESCAPE);
                         })});
    popup.dialog->DoModal();
    EXPECT_EQ(ids, (std::vector<int>{0, 0}));
}

} // namespace
