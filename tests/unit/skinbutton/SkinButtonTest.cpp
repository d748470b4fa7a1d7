// The skinned button: its images, the hover and capture rules, the click it reports, the
// owner it activates, its tooltip and what it owns.
#include "SkinButton.h"
#include "SkinTestSupport.h"

#include <memory>
#include <string>

using skintest::Image;
using usertest::Screen;

namespace {

constexpr int kPictureWidth = 380;
constexpr int kPictureHeight = 280;
constexpr RECT kButtonRect{187, 231, 217, 248};
constexpr POINT kHostOrigin{200, 150};

enum State { kNormal, kHover, kPressed, kDisabled, kStateCount };

// A whole-window picture in which every pixel differs from its neighbours and from the same
// pixel of the other states, so a cut at the wrong place or from the wrong picture shows.
void MakePicture(CBitmap& bitmap, int state) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kPictureWidth;
    info.bmiHeader.biHeight = kPictureHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP hBitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(hBitmap, nullptr);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const std::uint32_t r = (x * 7 + state * 61) & 0xFF;
            const std::uint32_t g = (y * 11 + state * 97) & 0xFF;
            const std::uint32_t b = ((x ^ y) + state * 53) & 0xFF;
            pixels[(kPictureHeight - 1 - y) * kPictureWidth + x] = (r << 16) | (g << 8) | b;
        }
    }
    ASSERT_TRUE(bitmap.Attach(hBitmap));
}

// The button with its members in reach.
class ProbeButton : public CSkinButton {
public:
    using CSkinButton::m_bMouseOver;
    using CSkinButton::m_bmpDisabled;
    using CSkinButton::m_bmpHover;
    using CSkinButton::m_bmpNormal;
    using CSkinButton::m_bmpPressed;
    using CSkinButton::m_toolTip;
};

// The parent: records the commands it receives.
class Host : public CWnd {
public:
    struct Command {
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Command> commands;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        commands.push_back(Command{wParam, lParam});
        return CWnd::OnCommand(wParam, lParam);
    }
};

// A host window with one skinned button at the main window's OK rectangle, and the pointer.
struct Rig {
    CBitmap pictures[kStateCount];
    Host host;
    std::unique_ptr<ProbeButton> button;

    void Build() {
        for (int s = 0; s < kStateCount; ++s) {
            MakePicture(pictures[s], s);
        }
        ASSERT_TRUE(host.CreateEx(0, usertest::LogClass(), "host", WS_POPUP | WS_VISIBLE,
                                  kHostOrigin.x, kHostOrigin.y, kPictureWidth, kPictureHeight,
                                  nullptr, nullptr));
        button = std::make_unique<ProbeButton>();
        ASSERT_TRUE(button->Create("", WS_CHILD | WS_VISIBLE, kButtonRect, &host, 0));
        button->SetStateBitmaps(kButtonRect, &pictures[kNormal], &pictures[kHover],
                                &pictures[kPressed], &pictures[kDisabled]);
        host.SetActiveWindow();
        skintest::PumpUi();
    }
    void TearDown() {
        button.reset();
        host.DestroyWindow();
    }

    Image Expected(int state) { return skintest::BitmapPixels(pictures[state], kButtonRect); }
    Image Shown() {
        skintest::PumpUi();
        return skintest::ScreenPixels(skintest::ClientToScreenRect(host, kButtonRect));
    }
    POINT OnButton(int dx = 0, int dy = 0) const {
        return POINT{kHostOrigin.x + kButtonRect.left + 10 + dx,
                     kHostOrigin.y + kButtonRect.top + 8 + dy};
    }
    POINT OnBackground() const { return POINT{kHostOrigin.x + 60, kHostOrigin.y + 60}; }
    void MoveTo(POINT p) {
        Screen().MoveMouse(p);
        skintest::PumpUi();
    }
    void Press() {
        Screen().PressButton(1);
        skintest::PumpUi();
    }
    void Release() {
        Screen().ReleaseButton(1);
        skintest::PumpUi();
    }
};

class SkinButtonTest : public usertest::WindowTest {
protected:
    void SetUp() override {
        usertest::WindowTest::SetUp();
        rig_.Build();
    }
    void TearDown() override {
        rig_.TearDown();
        usertest::WindowTest::TearDown();
    }

    Rig rig_;
    CBitmap (&pictures_)[kStateCount] = rig_.pictures;
    Host& host_ = rig_.host;
    std::unique_ptr<ProbeButton>& button_ = rig_.button;
};

TEST_F(SkinButtonTest, IsAnOwnerDrawnButtonWithoutTabStopOrBorder) {
    ProbeButton other;
    ASSERT_TRUE(other.Create("", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | BS_DEFPUSHBUTTON,
                             CRect(10, 10, 40, 30), &host_, 0));
    EXPECT_EQ(other.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_EQ(other.GetStyle() & WS_TABSTOP, 0u);
    EXPECT_NE(other.GetStyle() & WS_BORDER, 0u) << "the border goes with the images";
    other.SetStateBitmaps(CRect(10, 10, 40, 30), &pictures_[kNormal], &pictures_[kHover],
                          &pictures_[kPressed], &pictures_[kDisabled]);
    EXPECT_EQ(other.GetStyle() & WS_BORDER, 0u);
    EXPECT_EQ(other.GetDlgCtrlID(), 0);
}

TEST_F(SkinButtonTest, EachStateImageIsItsPictureCutAtTheButton) {
    CBitmap* images[kStateCount] = {&button_->m_bmpNormal, &button_->m_bmpHover,
                                    &button_->m_bmpPressed, &button_->m_bmpDisabled};
    for (int s = 0; s < kStateCount; ++s) {
        const Image image = skintest::WholeBitmap(*images[s]);
        EXPECT_TRUE(skintest::SameImage(image, rig_.Expected(s))) << "state " << s;
    }
}

TEST_F(SkinButtonTest, NewImagesReplaceAndFreeTheOldOnes) {
    const HGDIOBJ oldNormal = button_->m_bmpNormal.GetSafeHandle();
    button_->SetStateBitmaps(kButtonRect, &pictures_[kHover], &pictures_[kHover],
                             &pictures_[kHover], &pictures_[kHover]);
    EXPECT_EQ(::GetObjectType(oldNormal), 0u);
    EXPECT_TRUE(
        skintest::SameImage(skintest::WholeBitmap(button_->m_bmpNormal), rig_.Expected(kHover)));
}

enum class Capture { Button, None };

struct StateCase {
    const char* name;
    std::function<void(Rig&)> act;
    State shown;
    Capture capture;
};

void PrintTo(const StateCase& c, std::ostream* os) {
    *os << c.name;
}

class SkinButtonStateTest : public SkinButtonTest,
                            public ::testing::WithParamInterface<StateCase> {};

TEST_P(SkinButtonStateTest, ShowsTheImageOfItsState) {
    GetParam().act(rig_);
    EXPECT_TRUE(skintest::SameImage(rig_.Shown(), rig_.Expected(GetParam().shown)));
    const HWND capture = ::GetCapture();
    if (GetParam().capture == Capture::Button) {
        EXPECT_EQ(capture, button_->m_hWnd);
    } else {
        EXPECT_NE(capture, button_->m_hWnd);
    }
}

INSTANTIATE_TEST_SUITE_P(
    States, SkinButtonStateTest,
    ::testing::Values(
        StateCase{"Untouched", [](Rig&) {}, kNormal, Capture::None},
        StateCase{"PointerOver", [](Rig& t) { t.MoveTo(t.OnButton()); }, kHover, Capture::Button},
        StateCase{"MovingWithinKeepsHover",
                  [](Rig& t) {
                      t.MoveTo(t.OnButton());
                      t.MoveTo(t.OnButton(5, 2));
                  },
                  kHover, Capture::Button},
        StateCase{"Pressed",
                  [](Rig& t) {
                      t.MoveTo(t.OnButton());
                      t.Press();
                  },
                  kPressed, Capture::Button},
        StateCase{"Disabled", [](Rig& t) { t.button->EnableWindow(FALSE); }, kDisabled,
                  Capture::None},
        StateCase{"Latched", [](Rig& t) { t.button->SetPressed(TRUE); }, kPressed, Capture::None},
        StateCase{"LatchedBeatsHover",
                  [](Rig& t) {
                      t.button->SetPressed(TRUE);
                      t.MoveTo(t.OnButton());
                  },
                  kPressed, Capture::Button},
        StateCase{"LatchedStaysAfterAClick",
                  [](Rig& t) {
                      t.button->SetPressed(TRUE);
                      t.MoveTo(t.OnButton());
                      t.Press();
                      t.Release();
                      t.MoveTo(t.OnBackground());
                  },
                  kPressed, Capture::None},
        StateCase{"UnlatchedAgain",
                  [](Rig& t) {
                      t.button->SetPressed(TRUE);
                      t.button->SetPressed(FALSE);
                  },
                  kNormal, Capture::None},
        StateCase{"EnteringWithTheLeftButtonHeld",
                  [](Rig& t) {
                      t.MoveTo(t.OnBackground());
                      t.Press();
                      t.MoveTo(t.OnButton());
                  },
                  kNormal, Capture::None},
        StateCase{"EnteringWhileTheApplicationIsInactive",
                  [](Rig& t) {
                      ::SetActiveWindow(nullptr);
                      t.MoveTo(t.OnButton());
                  },
                  kNormal, Capture::None},
        StateCase{"LeavingForTheParent",
                  [](Rig& t) {
                      t.MoveTo(t.OnButton());
                      t.MoveTo(t.OnBackground());
                  },
                  kNormal, Capture::None},
        StateCase{"LeavingWithTheLeftButtonHeldKeepsTheCapture",
                  [](Rig& t) {
                      t.MoveTo(t.OnButton());
                      t.Press();
                      t.MoveTo(t.OnBackground());
                  },
                  kNormal, Capture::Button},
        StateCase{"AfterAClickWithThePointerStillOver",
                  [](Rig& t) {
                      t.MoveTo(t.OnButton());
                      t.Press();
                      t.Release();
                  },
                  kHover, Capture::None},
        StateCase{"TheNextMoveAfterAClickTakesTheCaptureAgain",
                  [](Rig& t) {
                      t.MoveTo(t.OnButton());
                      t.Press();
                      t.Release();
                      t.MoveTo(t.OnButton(1, 1));
                  },
                  kHover, Capture::Button},
        StateCase{"LosingTheFocusDropsTheHoverButNotTheCapture",
                  [](Rig& t) {
                      t.MoveTo(t.OnButton());
                      t.button->SetFocus();
                      t.host.SetFocus();
                  },
                  kNormal, Capture::Button},
        StateCase{"CaptureTakenAwayKeepsTheHoverLook",
                  [](Rig& t) {
                      t.MoveTo(t.OnButton());
                      t.host.SetCapture();
                  },
                  kHover, Capture::None}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SkinButtonTest, AClickReportsIdZeroAndTheButtonsHandle) {
    rig_.MoveTo(rig_.OnButton());
    rig_.Press();
    rig_.Release();
    ASSERT_EQ(host_.commands.size(), 1u);
    EXPECT_EQ(host_.commands[0].wParam, MAKEWPARAM(0, BN_CLICKED));
    EXPECT_EQ(host_.commands[0].lParam, reinterpret_cast<LPARAM>(button_->m_hWnd));
}

TEST_F(SkinButtonTest, ReleasingOutsideIsNoClickAndFreesTheCapture) {
    rig_.MoveTo(rig_.OnButton());
    rig_.Press();
    rig_.MoveTo(rig_.OnBackground());
    rig_.Release();
    EXPECT_TRUE(host_.commands.empty());
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(SkinButtonTest, APressActivatesTheOwner) {
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, usertest::LogClass(), "other", WS_POPUP | WS_VISIBLE, 700, 600,
                               100, 100, nullptr, nullptr));
    other.SetActiveWindow();
    ASSERT_EQ(::GetActiveWindow(), other.m_hWnd);
    ::SendMessageA(button_->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(::GetActiveWindow(), host_.m_hWnd);
    ::SendMessageA(button_->m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    other.DestroyWindow();
}

TEST_F(SkinButtonTest, SettingTheLatchToWhatItIsDoesNotRepaint) {
    button_->SetPressed(TRUE);
    skintest::PumpUi();
    ASSERT_FALSE(::GetUpdateRect(button_->m_hWnd, nullptr, FALSE));
    button_->SetPressed(TRUE);
    EXPECT_FALSE(::GetUpdateRect(button_->m_hWnd, nullptr, FALSE));
    button_->SetPressed(FALSE);
    EXPECT_TRUE(::GetUpdateRect(button_->m_hWnd, nullptr, FALSE));
}

CString TipText(ProbeButton& button) {
    char text[80] = {};
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = button.m_hWnd;
    ti.uId = 1;
    ti.lpszText = text;
    button.m_toolTip.SendMessage(TTM_GETTEXT, 0, reinterpret_cast<LPARAM>(&ti));
    return text;
}

bool TipShownWith(ProbeButton& button, const char* text) {
    for (int i = 0; i < 200; ++i) {
        skintest::PumpUiFor(5);
        CString shown;
        button.m_toolTip.GetWindowText(shown);
        if (button.m_toolTip.IsWindowVisible() && shown == text) {
            return true;
        }
    }
    return false;
}

TEST_F(SkinButtonTest, TheTooltipShowsTheCaptionWhileThePointerRests) {
    CString caption("OK");
    button_->SetTooltipText(&caption, TRUE);
    EXPECT_EQ(button_->m_toolTip.GetToolCount(), 1);
    rig_.MoveTo(rig_.OnButton());
    EXPECT_TRUE(TipShownWith(*button_, "OK"));
    rig_.MoveTo(rig_.OnBackground());
    EXPECT_FALSE(button_->m_toolTip.IsWindowVisible());
}

TEST_F(SkinButtonTest, ASecondTextChangesTheOneTool) {
    CString first("OK");
    CString second("Try again");
    button_->SetTooltipText(&first, TRUE);
    button_->SetTooltipText(&second, TRUE);
    EXPECT_EQ(button_->m_toolTip.GetToolCount(), 1);
    EXPECT_EQ(TipText(*button_), CString("Try again"));
    rig_.MoveTo(rig_.OnButton());
    EXPECT_TRUE(TipShownWith(*button_, "Try again"));
}

TEST_F(SkinButtonTest, AnInactiveTooltipStaysHidden) {
    CString caption("OK");
    button_->SetTooltipText(&caption, FALSE);
    rig_.MoveTo(rig_.OnButton());
    EXPECT_FALSE(TipShownWith(*button_, "OK"));
}

TEST_F(SkinButtonTest, WithoutATextNoToolIsAdded) {
    button_->SetTooltipText(nullptr, TRUE);
    button_->InitToolTip();
    EXPECT_EQ(button_->m_toolTip.GetToolCount(), 0);
    rig_.MoveTo(rig_.OnButton());
    skintest::PumpUiFor(100);
    EXPECT_FALSE(button_->m_toolTip.IsWindowVisible());
}

TEST_F(SkinButtonTest, DestructionFreesTheImages) {
    const HGDIOBJ images[] = {
        button_->m_bmpNormal.GetSafeHandle(), button_->m_bmpHover.GetSafeHandle(),
        button_->m_bmpPressed.GetSafeHandle(), button_->m_bmpDisabled.GetSafeHandle()};
    const HWND hWnd = button_->m_hWnd;
    button_.reset();
    for (HGDIOBJ image : images) {
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(::GetObjectType(image), 0u);
    }
    EXPECT_FALSE(::IsWindow(hWnd));
}

TEST_F(SkinButtonTest, AStateWithoutAnImageLooksNormal) {
    ProbeButton sparse;
    CBitmap none;
    const CRect rect(20, 20, 50, 37);
    ASSERT_TRUE(sparse.Create("", WS_CHILD | WS_VISIBLE, rect, &host_, 0));
    sparse.SetStateBitmaps(rect, &pictures_[kNormal], &none, nullptr, &none);
    EXPECT_EQ(sparse.m_bmpHover.GetSafeHandle(), nullptr);
    Screen().MoveMouse(POINT{kHostOrigin.x + 30, kHostOrigin.y + 25});
    skintest::PumpUi();
    ASSERT_TRUE(sparse.m_bMouseOver);
    EXPECT_TRUE(
        skintest::SameImage(skintest::ScreenPixels(skintest::ClientToScreenRect(host_, rect)),
                            skintest::BitmapPixels(pictures_[kNormal], rect)));
}

} // namespace
