// The skinned windows over a broken skin library: none at all, a mask that is white all over,
// a mask half the pictures' size, or a mask and backgrounds that claim 16384 x 16384 pixels.
// Built once per library (BROKEN_SKIN_*), beside it. Whatever is broken, every window keeps
// a size a user can see, its buttons inside its shape and working, and the notices of
// success and failure look different.
#include "NoticeDlg.h"
#include "PromptDlg.h"
#include "SkinnedWindowChecks.h"
#include "UpdateApp.h"
#include "UpdateDlg.h"

#include <algorithm>
#include <memory>
#include <set>

using skintest::Do;
using skintest::Image;
using skintest::ScriptRunner;
using skintest::Until;
using usertest::Screen;

namespace {

#if defined(BROKEN_SKIN_WHITE_MASK) || defined(BROKEN_SKIN_HALF_MASK)
// The mask would hide the window or its buttons: the window stays rectangular.
constexpr bool kShaped = false;
#else
// The mask cannot be loaded: its placeholder keeps the whole window.
constexpr bool kShaped = true;
#endif

constexpr RECT kBar{24, 90, 356, 134};

class UpdateDlgProbe : public CUpdateDlg {
public:
    using CUpdateDlg::m_btnCancel;
    using CUpdateDlg::m_btnOK;
};

template <typename Base> class PopupProbe : public Base {
public:
    using Base::m_btnOK;
};

class PromptProbe : public PopupProbe<CPromptDlg> {
public:
    using CPromptDlg::m_btnCancel;
};

// The client area, where the picture shows: the window's shape never cuts into it here.
Image ClientMask(HWND hWnd) {
    const RECT window = skintest::WindowRectOf(hWnd);
    Image mask;
    mask.width = window.right - window.left;
    mask.height = window.bottom - window.top;
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            const bool client = x > 0 && y > 0 && x < mask.width - 1 && y < mask.height - 1;
            mask.pixels.push_back(client ? 0 : 0x00FFFFFF);
        }
    }
    return mask;
}

// The window is shaped as the case says, and every pixel of every button lies inside it.
::testing::AssertionResult ButtonsInsideShape(HWND hWnd, const std::vector<HWND>& buttons) {
    const RECT window = skintest::WindowRectOf(hWnd);
    const HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    const bool shaped = ::GetWindowRgn(hWnd, region) != ERROR;
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    if (shaped != kShaped) {
        result = ::testing::AssertionFailure() << (shaped ? "shaped" : "rectangular");
    }
    for (const HWND button : buttons) {
        const RECT r = skintest::WindowRectOf(button);
        for (int y = r.top; y < r.bottom && result; ++y) {
            for (int x = r.left; x < r.right && result; ++x) {
                const bool inWindow =
                    x >= window.left && y >= window.top && x < window.right && y < window.bottom;
                if (!inWindow ||
                    (shaped && !::PtInRegion(region, x - window.left, y - window.top))) {
                    result = ::testing::AssertionFailure()
                             << "button pixel (" << x - window.left << ", " << y - window.top
                             << ") lies outside the window";
                }
            }
        }
    }
    ::DeleteObject(region);
    return result;
}

// The window has the skin's size, whether its picture is the real one or a placeholder, and
// shows that picture.
::testing::AssertionResult Shows(HWND hWnd, const char* pictureId, RECT except = RECT{}) {
    const Image picture = skintest::SkinPicture(pictureId);
    if (picture.width != 380 || picture.height != 280) {
        return ::testing::AssertionFailure()
               << "picture " << pictureId << " is " << picture.width << " x " << picture.height;
    }
    const ::testing::AssertionResult geometry = skintest::HasSkinGeometry(hWnd, picture);
    if (!geometry) {
        return geometry;
    }
    return skintest::ShowsPicture(hWnd, picture, ClientMask(hWnd), except);
}

void ClickOn(HWND button) {
    Screen().Click(skintest::CentreOf(skintest::WindowRectOf(button)));
}

// A broken window may swallow the click that should end it. The returned script's one step
// never finishes, so when its time-out passes while the window still runs, it fails the test
// and quits every modal loop instead of hanging; a window that ends in time outlives it.
std::unique_ptr<ScriptRunner> EndOrFail() {
    return std::make_unique<ScriptRunner>(
        std::vector<ScriptRunner::Step>{Until("the window to end", [] { return false; })},
        std::chrono::seconds(20));
}

class BrokenSkinTest : public usertest::WindowTest {
protected:
    void TearDown() override {
        theApp.m_pMainWnd = nullptr;
        usertest::WindowTest::TearDown();
    }
};

// Without a device, OK ends in the failure notice, whose OK ends the program.
TEST_F(BrokenSkinTest, TheMainWindowsOkLeadsToTheFailureNoticeWhoseOkEndsIt) {
    UpdateDlgProbe dlg;
    HWND notice = nullptr;
    ScriptRunner script({
        [&]() { return dlg.m_hWnd && dlg.IsWindowVisible(); },
        Do([&]() {
            EXPECT_TRUE(Shows(dlg.m_hWnd, "1015", kBar));
            EXPECT_TRUE(
                ButtonsInsideShape(dlg.m_hWnd, {dlg.m_btnOK.m_hWnd, dlg.m_btnCancel.m_hWnd}));
            ClickOn(dlg.m_btnOK.m_hWnd);
        }),
        Until("the failure notice",
              [&]() {
                  notice = ::GetActiveWindow();
                  return notice && notice != dlg.m_hWnd && ::IsWindowVisible(notice);
              }),
        Do([&]() {
            EXPECT_TRUE(Shows(notice, "1008"));
            const HWND ok = ::GetWindow(notice, GW_CHILD); // the notice's only control
            ASSERT_NE(ok, nullptr);
            EXPECT_TRUE(ButtonsInsideShape(notice, {ok}));
            ClickOn(ok);
        }),
    });
    const auto watchdog = EndOrFail();
    theApp.m_pMainWnd = &dlg;
    EXPECT_EQ(dlg.DoModal(), -1) << "the notice's OK ends the program through a quit";
    EXPECT_TRUE(script.Finished());
}

TEST_F(BrokenSkinTest, TheMainWindowsCancelEndsIt) {
    UpdateDlgProbe dlg;
    ScriptRunner script({
        [&]() { return dlg.m_hWnd && dlg.IsWindowVisible(); },
        Do([&]() { ClickOn(dlg.m_btnCancel.m_hWnd); }),
    });
    const auto watchdog = EndOrFail();
    theApp.m_pMainWnd = &dlg;
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_TRUE(script.Finished());
}

struct PopupCase {
    const char* name;
    const char* skinName; // nullptr for the prompt
    const char* background;
};

const PopupCase kPopups[] = {
    {"prompt", nullptr, "1026"},
    {"success", "skin_congratulation_fw.ini", "1005"},
    {"failure", "skin_error_fw.ini", "1008"},
    {"up to date", "", "1030"},
};

// Runs the popup over a main window, checks it and answers with its OK button; returns what
// it showed.
Image RunPopup(const PopupCase& c) {
    std::unique_ptr<CDialog> dialog;
    std::vector<const CSkinButton*> buttons;
    if (c.skinName) {
        auto notice = std::make_unique<PopupProbe<CNoticeDlg>>();
        notice->m_strSkinName = c.skinName;
        buttons = {&notice->m_btnOK};
        dialog = std::move(notice);
    } else {
        auto prompt = std::make_unique<PromptProbe>();
        buttons = {&prompt->m_btnOK, &prompt->m_btnCancel};
        dialog = std::move(prompt);
    }
    Image shown;
    ScriptRunner script({
        [&]() { return dialog->m_hWnd && dialog->IsWindowVisible(); },
        Do([&]() {
            EXPECT_TRUE(Shows(dialog->m_hWnd, c.background));
            for (const CSkinButton* button : buttons) {
                EXPECT_TRUE(ButtonsInsideShape(dialog->m_hWnd, {button->m_hWnd}));
            }
            shown = skintest::ScreenPixels(skintest::WindowRectOf(dialog->m_hWnd));
            ClickOn(buttons.front()->m_hWnd);
        }),
    });
    const auto watchdog = EndOrFail();
    EXPECT_EQ(dialog->DoModal(), IDOK);
    EXPECT_TRUE(script.Finished());
    return shown;
}

std::size_t Colours(const Image& image) {
    return std::set<std::uint32_t>(image.pixels.begin(), image.pixels.end()).size();
}

// Each popup answers its OK button, and no two of them look alike, the notices of success and
// failure least of all.
TEST_F(BrokenSkinTest, EveryPopupIsUsableAndLooksLikeNoOther) {
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, usertest::LogClass(), "main", WS_POPUP | WS_VISIBLE | WS_BORDER,
                              420, 300, 380, 280, nullptr, nullptr));
    theApp.m_pMainWnd = &main;
    std::vector<Image> shots;
    for (const PopupCase& c : kPopups) {
        SCOPED_TRACE(c.name);
        shots.push_back(RunPopup(c));
        EXPECT_GT(Colours(shots.back()), 2u) << "a window of one colour says nothing";
    }
    for (std::size_t i = 0; i < shots.size(); ++i) {
        for (std::size_t j = i + 1; j < shots.size(); ++j) {
            EXPECT_FALSE(skintest::SameImage(shots[i], shots[j]))
                << kPopups[i].name << " and " << kPopups[j].name << " look alike";
        }
    }
    theApp.m_pMainWnd = nullptr;
    main.DestroyWindow();
}

} // namespace
