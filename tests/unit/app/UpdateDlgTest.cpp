// The main window: its skin and shape, the progress bar, the keys it swallows, the system
// menu and the About box, dragging, the popups over it, and what it leaves behind.
#include "UpdateDlg.h"
#include "DriverChannel.h"
#include "NoticeDlg.h"
#include "SkinnedWindowChecks.h"
#include "UpdateApp.h"
#include "UpdateProgressMessage.h"
#include "user/Window.h"

#include <cstring>

using skintest::Do;
using skintest::Image;
using skintest::ScriptRunner;
using skintest::Until;
using usertest::Screen;

namespace {

constexpr RECT kOk{187, 231, 217, 248};
constexpr RECT kCancel{257, 231, 301, 248};
constexpr RECT kBar{24, 90, 356, 134};
constexpr RECT kBackground{145, 175, 155, 185}; // nothing but the picture there
constexpr std::uint32_t kGreen = 0x0000FF00;
constexpr std::uint32_t kBlack = 0x00000000;
constexpr UINT kAlt = 0x1000;

class UpdateDlgProbe : public CUpdateDlg {
public:
    using CUpdateDlg::m_bmpBackground;
    using CUpdateDlg::m_bmpShape;
    using CUpdateDlg::m_btnCancel;
    using CUpdateDlg::m_btnOK;
    using CUpdateDlg::m_hIcon;
    using CUpdateDlg::m_progress;
    using CUpdateDlg::m_szImagePath;
};

class UpdateDlgTest : public usertest::WindowTest {
protected:
    void TearDown() override {
        theApp.m_pMainWnd = nullptr;
        usertest::WindowTest::TearDown();
    }

    // Runs the main window with the script; the window is the application's main window, so
    // popups belong to it.
    int Run(std::vector<ScriptRunner::Step> steps) {
        steps.insert(steps.begin(), [this]() { return dlg_.m_hWnd && dlg_.IsWindowVisible(); });
        ScriptRunner script(std::move(steps));
        theApp.m_pMainWnd = &dlg_;
        const int result = dlg_.DoModal();
        theApp.m_pMainWnd = nullptr;
        EXPECT_TRUE(script.Finished());
        return result;
    }
    static ScriptRunner::Step Close(UpdateDlgProbe& dlg) {
        return Do([&dlg]() {
            Screen().RequestClose(platform::user::FindWindowObject(dlg.m_hWnd)->native);
        });
    }
    POINT ScreenAt(RECT clientRect) const {
        return skintest::CentreOf(skintest::ClientToScreenRect(dlg_.m_hWnd, clientRect));
    }
    // The bar's middle row on the screen, inside its border.
    std::vector<std::uint32_t> BarRow() const {
        CRect bar;
        dlg_.m_progress.GetWindowRect(&bar);
        const Image shown = skintest::ScreenPixels(bar);
        std::vector<std::uint32_t> row;
        for (int x = 1; x < shown.width - 1; ++x) {
            row.push_back(shown.At(x, shown.height / 2));
        }
        return row;
    }
    static int LastGreen(const std::vector<std::uint32_t>& row) {
        int last = -1;
        for (std::size_t x = 0; x < row.size(); ++x) {
            if (row[x] == kGreen) {
                last = static_cast<int>(x);
            } else if (row[x] != kBlack) {
                return -2;
            }
        }
        return last;
    }

    UpdateDlgProbe dlg_;
};

TEST_F(UpdateDlgTest, TakesTheSizeShapeAndPictureOfItsSkin) {
    const Image background = skintest::SkinPicture("1015");
    const Image mask = skintest::SkinMask();
    EXPECT_EQ(Run({Do([&]() {
                       EXPECT_TRUE(skintest::HasSkinGeometry(dlg_.m_hWnd, background));
                       EXPECT_TRUE(skintest::HasMaskShape(dlg_.m_hWnd, mask));
                       EXPECT_TRUE(skintest::ShowsPicture(dlg_.m_hWnd, background, mask, kBar));
                   }),
                   Close(dlg_)}),
              IDCANCEL);
}

TEST_F(UpdateDlgTest, ClicksOnTheMasksWhiteAreasReachTheWindowBeneath) {
    const Image mask = skintest::SkinMask();
    ASSERT_EQ(mask.At(0, 0), 0x00FFFFFFu);
    ASSERT_NE(mask.At(mask.width / 2, mask.height / 2), 0x00FFFFFFu);
    const HWND beneath = usertest::CreateLogWindow(WS_POPUP | WS_VISIBLE, 0, 0, 1280, 1024);
    CRect placed;
    EXPECT_EQ(Run({Do([&]() {
                       dlg_.GetWindowRect(&placed);
                       usertest::MessageLog::Get().Clear();
                       Screen().Click(placed.TopLeft());
                   }),
                   Do([&]() {
                       EXPECT_EQ(usertest::MessageLog::Get().Of(beneath, {WM_LBUTTONDOWN}),
                                 std::vector<UINT>{WM_LBUTTONDOWN});
                       usertest::MessageLog::Get().Clear();
                       Screen().Click(placed.CenterPoint());
                   }),
                   Do([&]() {
                       EXPECT_TRUE(
                           usertest::MessageLog::Get().Of(beneath, {WM_LBUTTONDOWN}).empty());
                   }),
                   Close(dlg_)}),
              IDCANCEL);
    ::DestroyWindow(beneath);
}

TEST_F(UpdateDlgTest, TheBarIsGreenOnBlackFromZeroToAHundredAtItsPlace) {
    std::vector<int> reached;
    EXPECT_EQ(Run({Do([&]() {
                       CRect bar;
                       dlg_.m_progress.GetWindowRect(&bar);
                       dlg_.ScreenToClient(&bar);
                       EXPECT_EQ(bar, CRect(kBar));
                       PBRANGE range{};
                       dlg_.m_progress.SendMessage(PBM_GETRANGE, FALSE,
                                                   reinterpret_cast<LPARAM>(&range));
                       EXPECT_EQ(range.iLow, 0);
                       EXPECT_EQ(range.iHigh, 100);
                       EXPECT_EQ(dlg_.m_progress.GetPos(), 0);
                       EXPECT_EQ(LastGreen(BarRow()), -1) << "an empty bar is all black";
                       // Each value must be on the screen when SendMessage returns.
                       for (const WPARAM value : {37u, 100u, 150u, 5u}) {
                           dlg_.SendMessage(WM_UPDATE_PROGRESS, value, 0);
                           reached.push_back(dlg_.m_progress.GetPos());
                           reached.push_back(LastGreen(BarRow()));
                       }
                   }),
                   Close(dlg_)}),
              IDCANCEL);
    ASSERT_EQ(reached.size(), 8u);
    const int width = kBar.right - kBar.left - 2;
    EXPECT_EQ(reached[0], 37);
    EXPECT_GT(reached[1], width * 30 / 100);
    EXPECT_LT(reached[1], width * 50 / 100) << "the last block may reach past the position";
    EXPECT_EQ(reached[2], 100);
    EXPECT_GT(reached[3], width * 95 / 100);
    EXPECT_EQ(reached[4], 100) << "a value above the range stays at its end";
    EXPECT_EQ(reached[5], reached[3]);
    EXPECT_EQ(reached[6], 5);
    EXPECT_LT(reached[7], width * 10 / 100);
}

TEST_F(UpdateDlgTest, EscEnterAndIdokLeaveItOpenAndACloseRequestEndsIt) {
    std::vector<BOOL> open;
    EXPECT_EQ(Run({Do([]() { Screen().PressKey(VK_ESCAPE); }),
                   Do([]() { Screen().PressKey(VK_RETURN); }), Do([&]() {
                       open.push_back(dlg_.IsWindowVisible());
                       dlg_.SendMessage(WM_COMMAND, IDOK, 0);
                   }),
                   Do([&]() { open.push_back(dlg_.IsWindowVisible()); }), Close(dlg_)}),
              IDCANCEL);
    EXPECT_EQ(open, (std::vector<BOOL>{TRUE, TRUE}));
}

TEST_F(UpdateDlgTest, TitleIconsAndDragIcon) {
    const HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCE(IDR_MAINFRAME));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(dlg_.m_hIcon, icon);
    EXPECT_EQ(Run({Do([&]() {
                       CString title;
                       dlg_.GetWindowText(title);
                       EXPECT_EQ(title, CString("Nerith updater"));
                       EXPECT_EQ(dlg_.GetIcon(TRUE), icon);
                       EXPECT_EQ(dlg_.GetIcon(FALSE), icon);
                       EXPECT_EQ(dlg_.SendMessage(WM_QUERYDRAGICON),
                                 reinterpret_cast<LRESULT>(icon));
                       const auto native = platform::user::FindWindowObject(dlg_.m_hWnd)->native;
                       EXPECT_EQ(Screen().Title(native), "Nerith updater");
                       EXPECT_GT(Screen().IconWidth(native), 0);
                   }),
                   Close(dlg_)}),
              IDCANCEL);
    const char zeros[MAX_PATH] = {};
    EXPECT_EQ(std::memcmp(dlg_.m_szImagePath, zeros, MAX_PATH), 0);
}

TEST_F(UpdateDlgTest, TheSystemMenuEndsWithASeparatorAndTheAboutItem) {
    EXPECT_EQ(Run({Do([&]() {
                       const HMENU menu = ::GetSystemMenu(dlg_.m_hWnd, FALSE);
                       const int count = ::GetMenuItemCount(menu);
                       ASSERT_GE(count, 2);
                       EXPECT_NE(::GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR, 0u);
                       EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
                       char text[64] = {};
                       ::GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
                       EXPECT_STREQ(text, "&About Update...");
                   }),
                   Close(dlg_)}),
              IDCANCEL);
}

struct AboutCase {
    const char* name;
    std::function<void(HWND)> open;
};

void PrintTo(const AboutCase& c, std::ostream* os) {
    *os << c.name;
}

class AboutBoxTest : public UpdateDlgTest, public ::testing::WithParamInterface<AboutCase> {};

TEST_P(AboutBoxTest, OpensModallyOverTheMainWindowAndCloses) {
    HWND about = nullptr;
    CString caption;
    BOOL mainEnabled = TRUE;
    EXPECT_EQ(Run({Do([&]() { GetParam().open(dlg_.m_hWnd); }),
                   [&]() {
                       about = ::GetActiveWindow();
                       return about && about != dlg_.m_hWnd && ::IsWindowVisible(about);
                   },
                   Do([&]() {
                       char text[64] = {};
                       ::GetWindowTextA(about, text, sizeof text);
                       caption = text;
                       mainEnabled = dlg_.IsWindowEnabled();
                       Screen().PressKey(VK_RETURN);
                   }),
                   [&]() { return !::IsWindow(about); },
                   Do([&]() { EXPECT_TRUE(dlg_.IsWindowEnabled()); }), Close(dlg_)}),
              IDCANCEL);
    EXPECT_EQ(caption, CString("About Update"));
    EXPECT_FALSE(mainEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, AboutBoxTest,
    ::testing::Values(
        AboutCase{"Command", [](HWND h) { ::PostMessageA(h, WM_SYSCOMMAND, IDM_ABOUTBOX, 0); }},
        AboutCase{"CommandWithTheSystemsLowBits",
                  [](HWND h) { ::PostMessageA(h, WM_SYSCOMMAND, IDM_ABOUTBOX | 0x3, 0); }},
        AboutCase{"AltSpaceAndTheMenuItem",
                  [](HWND) {
                      Screen().PressKey(VK_SPACE, kAlt);
                      Screen().PressKey(VK_UP);
                      Screen().PressKey(VK_RETURN);
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateDlgTest, OtherSystemCommandsBehaveAsByDefault) {
    EXPECT_EQ(Run({Do([&]() { dlg_.PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0); })}), IDCANCEL);
}

TEST_F(UpdateDlgTest, HoverAndPressShowTheButtonsCutsAndTooltips) {
    const Image background = skintest::SkinPicture("1015");
    const Image hover = skintest::SkinPicture("1018");
    const Image pressed = skintest::SkinPicture("1016");
    auto shows = [this](const char* what, RECT rect, const Image& picture) {
        return Until(what, [this, rect, &picture]() {
            return static_cast<bool>(skintest::ShowsCut(dlg_.m_hWnd, rect, picture));
        });
    };
    auto tip = [](const char* text) {
        return Until(std::string("the tooltip ") + text,
                     [text]() { return skintest::VisibleTooltipText() == text; });
    };
    EXPECT_EQ(Run({Do([&]() {
                       EXPECT_TRUE(skintest::ShowsCut(dlg_.m_hWnd, kOk, background));
                       EXPECT_TRUE(skintest::ShowsCut(dlg_.m_hWnd, kCancel, background));
                       EXPECT_EQ(dlg_.m_btnOK.GetDlgCtrlID(), 0);
                       EXPECT_EQ(dlg_.m_btnCancel.GetDlgCtrlID(), 0);
                       Screen().MoveMouse(ScreenAt(kOk));
                   }),
                   shows("OK hovered", kOk, hover), tip("OK"), Do([&]() {
                       EXPECT_TRUE(skintest::ShowsCut(dlg_.m_hWnd, kCancel, background));
                       Screen().PressButton(1);
                   }),
                   shows("OK pressed", kOk, pressed),
                   // Leaving before the release takes the press back.
                   Do([&]() { Screen().MoveMouse(ScreenAt(kBar)); }),
                   shows("OK normal again", kOk, background), Do([&]() {
                       Screen().ReleaseButton(1);
                       Screen().MoveMouse(ScreenAt(kCancel));
                   }),
                   shows("Cancel hovered", kCancel, hover), tip("Cancel"), Close(dlg_)}),
              IDCANCEL);
}

TEST_F(UpdateDlgTest, APressOnTheBackgroundDragsAndOneOnTheBarOrAButtonDoesNot) {
    const Image mask = skintest::SkinMask();
    ASSERT_NE(mask.At(151, 181), 0x00FFFFFFu) << "the press must land on the window";
    const POINT offset{55, -40};
    CRect start;
    std::vector<CRect> after;
    std::vector<ScriptRunner::Step> steps{Do([&]() { dlg_.GetWindowRect(&start); })};
    for (const RECT target : {kBar, kCancel, kBackground}) {
        steps.push_back(Do([this, target]() { Screen().MoveMouse(ScreenAt(target)); }));
        steps.push_back(Do([this, target, offset]() {
            const POINT from = ScreenAt(target);
            EXPECT_EQ(Screen().WindowAt(from),
                      platform::user::FindWindowObject(dlg_.m_hWnd)->native);
            Screen().PressButton(1);
            Screen().MoveMouse(POINT{from.x + offset.x / 2, from.y + offset.y / 2});
            Screen().MoveMouse(POINT{from.x + offset.x, from.y + offset.y});
            Screen().ReleaseButton(1);
        }));
        steps.push_back(Do([&]() {
            CRect now;
            dlg_.GetWindowRect(&now);
            after.push_back(now);
        }));
    }
    steps.push_back(Close(dlg_));
    // The release beside Cancel after a press on it is no click: the window stays open.
    EXPECT_EQ(Run(std::move(steps)), IDCANCEL);
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(after[0], start) << "a press on the progress bar moved the window";
    EXPECT_EQ(after[1], start) << "a press on a button moved the window";
    CRect moved = start;
    moved.OffsetRect(offset);
    EXPECT_EQ(after[2], moved);
}

TEST_F(UpdateDlgTest, APopupCoversTheMainWindowAlsoAfterItWasDragged) {
    CRect before;
    CRect main;
    CRect popup;
    BOOL mainEnabled = TRUE;
    CNoticeDlg notice(nullptr);
    bool noticeDone = false;
    EXPECT_EQ(
        Run({Do([&]() {
                 dlg_.GetWindowRect(&before);
                 Screen().MoveMouse(ScreenAt(kBackground));
             }),
             Do([&]() {
                 const POINT from = ScreenAt(kBackground);
                 Screen().PressButton(1);
                 Screen().MoveMouse(POINT{from.x - 200, from.y - 150});
                 Screen().ReleaseButton(1);
             }),
             // This step runs the notice's modal loop; the steps after it run inside that loop.
             Do([&]() {
                 dlg_.GetWindowRect(&main);
                 EXPECT_EQ(notice.DoModal(), IDCANCEL);
                 noticeDone = true;
             }),
             Until("the notice", [&]() { return notice.m_hWnd && notice.IsWindowVisible(); }),
             Do([&]() {
                 notice.GetWindowRect(&popup);
                 mainEnabled = dlg_.IsWindowEnabled();
                 Screen().PressKey(VK_ESCAPE);
             }),
             Until("the notice's end", [&]() { return noticeDone; }), Close(dlg_)}),
        IDCANCEL);
    EXPECT_EQ(main.TopLeft(), before.TopLeft() + CPoint(-200, -150));
    EXPECT_EQ(popup, main);
    EXPECT_FALSE(mainEnabled);
}

TEST_F(UpdateDlgTest, TheCancelButtonEndsTheProgramThroughAQuit) {
    EXPECT_EQ(Run({Do([&]() {
                  CRect rect;
                  dlg_.m_btnCancel.GetWindowRect(&rect);
                  Screen().Click(rect.CenterPoint());
              })}),
              -1);
    MSG msg{};
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(UpdateDlgTest, DestructionStopsTheEventThreadAndFreesThePictures) {
    HGDIOBJ shape = nullptr;
    HGDIOBJ background = nullptr;
    g_bStopEventThread = FALSE;
    EXPECT_EQ(Run({Do([&]() {
                       shape = dlg_.m_bmpShape.GetSafeHandle();
                       background = dlg_.m_bmpBackground.GetSafeHandle();
                       EXPECT_FALSE(g_bStopEventThread.load());
                   }),
                   Close(dlg_)}),
              IDCANCEL);
    EXPECT_TRUE(g_bStopEventThread.load());
    ASSERT_NE(shape, nullptr);
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(::GetObjectType(shape), 0u);
    EXPECT_EQ(::GetObjectType(background), 0u);
}

TEST_F(UpdateDlgTest, InitInstanceRunsTheMainWindowAndAsksForNoMessagePump) {
    // The quit ends the main window's modal run as soon as it starts.
    ::PostQuitMessage(0);
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_EQ(theApp.m_pMainWnd, nullptr) << "the application kept a dead window object";
}

} // namespace
