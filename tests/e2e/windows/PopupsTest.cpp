// The prompt and the notices of the real updater: each covers the main window exactly, also
// after the main window was dragged, shows its own pictures, and answers its keys.
#include "UpdaterWindowTest.h"

namespace nerith::e2e {

namespace {

struct PopupCase {
    const char* name;
    std::vector<std::string> device; // empty: no device at all
    const char* background;
    const char* hover;
    RECT ok;
    bool escEnds; // the downgrade prompt's Esc is a refusal, and the program ends
};

void PrintTo(const PopupCase& c, std::ostream* os) {
    *os << c.name;
}

class PopupsTest : public UpdaterWindowTest, public ::testing::WithParamInterface<PopupCase> {};

TEST_P(PopupsTest, CoversTheDraggedMainWindowWithItsPicturesAndAnswersEsc) {
    const PopupCase& c = GetParam();
    if (!c.device.empty()) {
        StartDevice(c.device);
    }
    StartUpdater();
    ASSERT_NE(Main(), 0u);
    const POINT from = ScreenAt(kBackground);
    const RECT before = MainRect();
    input_->Drag(from, POINT{from.x + 150, from.y - 120});
    // The window follows the pointer's moves one after another: only where the last one put
    // it is the drag over, and the popup placed on it.
    ASSERT_TRUE(testing::WaitFor(
        [&]() {
            const RECT now = MainRect();
            return now.left == before.left + 150 && now.top == before.top - 120;
        },
        3s));
    const RECT main = MainRect();
    input_->Click(ScreenAt(kOk));
    const auto popup = WaitForPopup(10s);
    ASSERT_TRUE(popup) << "no popup";
    EXPECT_TRUE(
        testing::WaitFor([&]() { return ShowsPicture(*popup, SkinPicture(c.background)); }, 3s));
    EXPECT_TRUE(ShowsPicture(*popup, SkinPicture(c.background)));
    // Up on the screen means ready for keys: it had the keyboard before it was drawn.
    EXPECT_EQ(session_->KeyboardFocus(), *popup) << "the popup showed without the keyboard";
    const RECT rect = session_->Geometry(*popup).value_or(RECT{});
    EXPECT_EQ(rect.left, main.left);
    EXPECT_EQ(rect.top, main.top);
    EXPECT_TRUE(ShapedLikeTheMask(*popup, testing::ShapeKind::Bounding));
    const POINT ok{rect.left + 1 + (c.ok.left + c.ok.right) / 2,
                   rect.top + 1 + (c.ok.top + c.ok.bottom) / 2};
    input_->MovePointer(ok);
    EXPECT_TRUE(WaitUntilShowsCut(*popup, c.ok, SkinPicture(c.hover)));
    SaveScreenshot(c.name, RECT{rect.left - 12, rect.top - 12, rect.right + 12, rect.bottom + 12});
    input_->TapKey("Escape");
    if (c.escEnds) {
        EXPECT_EQ(WaitForExit(5s), 0);
        return;
    }
    EXPECT_TRUE(testing::WaitUntilHidden(*session_, *popup, 5s));
    EXPECT_TRUE(session_->IsMapped(Main()));
    EXPECT_FALSE(WaitForExit(300ms)) << "Esc on a notice ended the program";
}

INSTANTIATE_TEST_SUITE_P(
    Popups, PopupsTest,
    ::testing::Values(PopupCase{"failure-notice", {}, "1008", "1009", {224, 229, 249, 244}, false},
                      PopupCase{"up-to-date-notice",
                                {"--image-version=1,64"},
                                "1030",
                                "1029",
                                {224, 229, 249, 244},
                                false},
                      PopupCase{"downgrade-prompt",
                                {"--image-version=2,0"},
                                "1026",
                                "1027",
                                {216, 228, 234, 243},
                                true},
                      PopupCase{"success-notice",
                                {"--image-version=1,0"},
                                "1005",
                                "1006",
                                {224, 229, 249, 244},
                                false}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::erase(name, '-');
        return name;
    });

} // namespace

} // namespace nerith::e2e
