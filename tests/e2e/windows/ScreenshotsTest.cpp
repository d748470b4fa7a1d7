// The screenshots in docs/screenshots, which scripts/screenshots takes from real runs, show
// exactly the skin pictures the updater carries over the plain desktop the script puts
// beneath: a stale or doctored file, a black or half-drawn window, or a progress shot without
// a partly filled bar fails here.
#include "ProgressBar.h"
#include "UpdaterWindowTest.h"

#include <cctype>
#include <filesystem>
#include <set>
#include <sstream>

namespace nerith::e2e {

namespace {

constexpr std::uint32_t kDesktop = 0x00E4E7EB;
constexpr int kAboutMargin = 12;

struct Shot {
    const char* file;
    const char* picture; // the window's background
    int margin;          // desktop around the window
    // What the main window's OK button may show; empty: the background's own cut.
    std::vector<const char*> okPictures;
    bool progress = false; // a partly filled bar; the main window's bar is empty otherwise
    bool tooltip = false;  // from the OK button's top down, the tooltip may cover anything
};

void PrintTo(const Shot& shot, std::ostream* out) {
    *out << shot.file;
}

const std::vector<Shot>& Shots() {
    static const std::vector<Shot> shots = {
        {"main-window.png", "1015", 12, {}},
        {"hover-ok.png", "1015", 40, {"1018"}, false, true},
        {"pressed-ok.png", "1015", 12, {"1016"}},
        // The button looks as it was last drawn when the run began: hovered or pressed.
        {"progress.png", "1015", 12, {"1015", "1018", "1016"}, true},
        {"success-notice.png", "1005", 12, {}},
        {"failure-notice.png", "1008", 12, {}},
        {"up-to-date-notice.png", "1030", 12, {}},
        {"downgrade-prompt.png", "1026", 12, {}},
    };
    return shots;
}

bool IsMainWindow(const Shot& shot) {
    return std::string(shot.picture) == "1015";
}

std::string PathOf(const std::string& file) {
    return std::string(NERITH_SCREENSHOTS_DIR) + "/" + file;
}

testing::Image Read(const std::string& file) {
    std::string error;
    std::optional<testing::Image> image = testing::ReadPng(PathOf(file), &error);
    EXPECT_TRUE(image) << file << ": " << error;
    return image.value_or(testing::Image{});
}

bool Inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

std::string Hex(std::uint32_t rgb) {
    std::ostringstream text;
    text << "0x" << std::hex << rgb;
    return text.str();
}

class ScreenshotsTest : public ::testing::TestWithParam<Shot> {
protected:
    void SetUp() override {
        image_ = Read(GetParam().file);
        picture_ = SkinPicture(GetParam().picture);
    }

    // The pixel at (x, y) of the shot as it must be; nullopt where another check looks, or
    // where the tooltip may be.
    std::optional<std::uint32_t> Expected(int x, int y, bool tooltipAllowed) const {
        const Shot& shot = GetParam();
        const int wx = x - shot.margin;
        const int wy = y - shot.margin;
        if (tooltipAllowed && shot.tooltip && wy > kOk.top) {
            return std::nullopt;
        }
        const bool inWindow = wx >= 0 && wy >= 0 && wx < mask_.width && wy < mask_.height;
        if (!inWindow || !MaskKeeps(mask_, wx, wy)) {
            return kDesktop;
        }
        const int cx = wx - 1;
        const int cy = wy - 1;
        const bool ok = !shot.okPictures.empty() && Inside(kOk, cx, cy);
        const bool bar = IsMainWindow(shot) && Inside(kBar, cx, cy);
        if (cx < 0 || cy < 0 || ok || bar) {
            return std::nullopt;
        }
        return picture_.At(cx, cy);
    }

    void ExpectPictureAndDesktop() const {
        int unchecked = 0;
        for (int y = 0; y < image_.height; ++y) {
            for (int x = 0; x < image_.width; ++x) {
                const std::optional<std::uint32_t> expected = Expected(x, y, true);
                unchecked += expected ? 0 : 1;
                ASSERT_TRUE(!expected || image_.At(x, y) == *expected)
                    << "at " << x << ", " << y << ": " << Hex(image_.At(x, y)) << " instead of "
                    << Hex(*expected);
            }
        }
        EXPECT_LT(unchecked, image_.width * image_.height / 3) << "most of it went unchecked";
    }

    void ExpectOkButtonPicture() const {
        const Shot& shot = GetParam();
        const int at = shot.margin + 1;
        const testing::Image ok = testing::Crop(
            image_, RECT{kOk.left + at, kOk.top + at, kOk.right + at, kOk.bottom + at});
        bool matched = false;
        for (const char* id : shot.okPictures) {
            matched = matched || !testing::FirstDifference(ok, testing::Crop(SkinPicture(id), kOk));
        }
        EXPECT_TRUE(matched) << "the OK button shows none of its pictures";
    }

    void ExpectBar() const {
        const Shot& shot = GetParam();
        const int green = demo::ReadBarGreen(
            testing::Crop(image_, RECT{shot.margin, shot.margin, shot.margin + mask_.width,
                                       shot.margin + mask_.height}));
        if (!shot.progress) {
            EXPECT_EQ(green, 0) << "the bar moved before any run";
            return;
        }
        EXPECT_GT(green, 0) << "an empty bar";
        EXPECT_LT(green, demo::BarGreenFor(100)) << "a full bar";
    }

    void ExpectTooltip() const {
        int differing = 0;
        for (int y = GetParam().margin + kOk.top; y < image_.height; ++y) {
            for (int x = 0; x < image_.width; ++x) {
                const std::optional<std::uint32_t> expected = Expected(x, y, false);
                differing += expected && image_.At(x, y) != *expected ? 1 : 0;
            }
        }
        EXPECT_GT(differing, 0) << "no tooltip below the hovered button";
    }

    testing::Image mask_ = SkinMask();
    testing::Image picture_;
    testing::Image image_;
};

TEST_P(ScreenshotsTest, ShowsWhatTheScreenShowedOverThePlainDesktop) {
    const Shot& shot = GetParam();
    ASSERT_EQ(image_.width, mask_.width + 2 * shot.margin);
    ASSERT_EQ(image_.height, mask_.height + 2 * shot.margin);
    ExpectPictureAndDesktop();
    if (!shot.okPictures.empty()) {
        ExpectOkButtonPicture();
    }
    if (IsMainWindow(shot)) {
        ExpectBar();
    }
    if (shot.tooltip) {
        ExpectTooltip();
    }
}

INSTANTIATE_TEST_SUITE_P(Docs, ScreenshotsTest, ::testing::ValuesIn(Shots()), [](const auto& info) {
    std::string name = info.param.file;
    std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
    return name;
});

// The About box is the platform's drawing, not a skin picture: its two shots are of one
// moment, the box alone and the box over the main window.
TEST(AboutScreenshotsTest, TheBoxAloneIsTheMiddleOfTheBoxInPlace) {
    const testing::Image box = Read("about-box.png");
    const testing::Image inPlace = Read("about.png");
    ASSERT_FALSE(box.Empty());
    ASSERT_EQ(inPlace.width, box.width + 2 * kAboutMargin);
    ASSERT_EQ(inPlace.height, box.height + 2 * kAboutMargin);
    const testing::Image middle =
        testing::Crop(inPlace, RECT{kAboutMargin, kAboutMargin, kAboutMargin + box.width,
                                    kAboutMargin + box.height});
    EXPECT_FALSE(testing::FirstDifference(middle, box)) << testing::DescribeDifference(middle, box);
    EXPECT_LT(testing::CountPixels(box, 0), box.width * box.height / 4) << "a black About box";
}

TEST(ScreenshotFilesTest, EveryFileIsOneTheScriptTakes) {
    std::set<std::string> known = {"about.png", "about-box.png"};
    for (const Shot& shot : Shots()) {
        known.insert(shot.file);
    }
    std::set<std::string> present;
    for (const auto& entry : std::filesystem::directory_iterator(NERITH_SCREENSHOTS_DIR)) {
        present.insert(entry.path().filename().string());
    }
    EXPECT_EQ(present, known);
}

} // namespace

} // namespace nerith::e2e
