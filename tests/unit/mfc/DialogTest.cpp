// Modal dialogs where our screen is the subject: a damaged template, the sizes a template's
// font gives, and the About box's pixels.
#include "ScriptedDialog.h"
#include "TestSupport.h"

using namespace mfctest;
using usertest::Screen;

namespace {

constexpr UINT kDamaged = 402;
constexpr UINT kMain = 102;
constexpr UINT kAbout = 100;

class DialogTest : public usertest::WindowTest {};

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
