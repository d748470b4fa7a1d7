#include "ScreenRecognizer.h"
#include "SkinPictures.h"

#include <gtest/gtest.h>

namespace nerith::demo {
namespace {

const Screen kSkinned[] = {Screen::Main, Screen::Prompt, Screen::Success, Screen::Failure,
                           Screen::UpToDate};

class ScreenRecognizerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        loaded_ = recognizer_.Load(NERITH_SKIN_DLL, &error);
        loadError_ = error;
    }
    void SetUp() override { ASSERT_TRUE(loaded_) << loadError_; }

    // A window as the updater shows it: the picture one border width inside, the border dark.
    static testing::Image WindowShowing(Screen screen) {
        std::string error;
        const testing::Image picture =
            LoadSkinJpegPicture(NERITH_SKIN_DLL, LayoutOf(screen)->backgroundId, &error);
        testing::Image window(picture.width, picture.height, 0x000000);
        for (int y = 0; y + kWindowBorder < window.height; ++y) {
            for (int x = 0; x + kWindowBorder < window.width; ++x) {
                window.Set(x + kWindowBorder, y + kWindowBorder, picture.At(x, y));
            }
        }
        return window;
    }

    static ScreenRecognizer recognizer_;
    static bool loaded_;
    static std::string loadError_;
};

ScreenRecognizer ScreenRecognizerTest::recognizer_;
bool ScreenRecognizerTest::loaded_ = false;
std::string ScreenRecognizerTest::loadError_;

TEST_F(ScreenRecognizerTest, EveryScreenIsRecognisedAsItself) {
    for (Screen screen : kSkinned) {
        SCOPED_TRACE(ScreenName(screen));
        const Recognition seen = recognizer_.Recognize(WindowShowing(screen));
        EXPECT_EQ(seen.screen, screen) << seen.mismatch << " / " << seen.secondMismatch;
        EXPECT_LT(seen.mismatch, 0.001);
    }
}

TEST_F(ScreenRecognizerTest, ProgressAndHoveredButtonsDoNotChangeTheScreen) {
    testing::Image main = WindowShowing(Screen::Main);
    for (int y = 92; y < 132; ++y) {
        for (int x = 26; x < 354; ++x) {
            main.Set(x, y, 0x00FF00);
        }
    }
    for (int y = 231; y < 248; ++y) {
        for (int x = 187; x < 217; ++x) {
            main.Set(x + kWindowBorder, y + kWindowBorder, 0xFFFFFF);
        }
    }
    EXPECT_EQ(recognizer_.Recognize(main).screen, Screen::Main);
}

TEST_F(ScreenRecognizerTest, AnythingElseIsUnknown) {
    const SIZE size = recognizer_.PictureSize();
    testing::Image blank(size.cx, size.cy, 0x808080);
    EXPECT_EQ(recognizer_.Recognize(blank).screen, Screen::Unknown);

    // Half one notice, half another: neither matches closely enough.
    testing::Image mixed = WindowShowing(Screen::Success);
    const testing::Image failure = WindowShowing(Screen::Failure);
    for (int y = mixed.height / 2; y < mixed.height; ++y) {
        for (int x = 0; x < mixed.width; ++x) {
            mixed.Set(x, y, failure.At(x, y));
        }
    }
    const Recognition seen = recognizer_.Recognize(mixed);
    EXPECT_EQ(seen.screen, Screen::Unknown) << seen.mismatch << " / " << seen.secondMismatch;
    EXPECT_EQ(recognizer_.Recognize(testing::Image()).screen, Screen::Unknown);
}

TEST_F(ScreenRecognizerTest, AMissingSkinLibraryIsReported) {
    ScreenRecognizer missing;
    std::string error;
    EXPECT_FALSE(missing.Load("/nonexistent/ridozuveza.dll", &error));
    EXPECT_NE(error.find("1021"), std::string::npos) << error;
}

} // namespace
} // namespace nerith::demo
