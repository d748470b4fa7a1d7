#include "BackendFixture.h"

namespace nerith::testing {
namespace {

constexpr RECT kArea{100, 100, 300, 300};
// A window with a vertical slot (x 80..120) and a missing bottom-right corner.
const std::vector<RECT> kShape{{0, 0, 80, 150}, {120, 0, 200, 150}, {0, 150, 80, 200}};

class ShapeTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        lower_ = ShowWindow(kArea, WindowKind::Normal, "lower");
        PaintSolid(lower_, kArea, 0xFF0000);
        upper_ = ShowWindow(kArea, WindowKind::Normal, "upper");
        PaintSolid(upper_, kArea, 0x0000FF);
        Drain();
    }

    NativeId ClickTarget(POINT screen) {
        input_->Click(screen);
        auto down = WaitForEvent(EventType::ButtonDown);
        Drain(std::chrono::milliseconds(30));
        return down ? down->window : 0;
    }

    NativeId lower_ = 0;
    NativeId upper_ = 0;
};

TEST_F(ShapeTest, ClicksAndPixelsInHolesBelongToTheWindowBeneath) {
    backend_->SetShape(upper_, kShape, true);
    // What the holes uncover is the lower window's to present again.
    const auto exposed = WaitForEvent(EventType::Expose, lower_);
    ASSERT_TRUE(exposed) << "the lower window was not told to present the holes";
    PaintSolid(lower_, kArea, 0xFF0000);
    struct Case {
        POINT window; // in the upper window's coordinates
        bool insideShape;
    };
    const Case cases[] = {
        {{10, 10}, true},    {{79, 149}, true},  {{80, 10}, false}, {{119, 100}, false},
        {{120, 0}, true},    {{199, 149}, true}, {{10, 190}, true}, {{150, 170}, false},
        {{100, 199}, false}, {{80, 150}, false},
    };
    const Image screen = CaptureScreen(*session_, kArea);
    for (const Case& c : cases) {
        const POINT at{kArea.left + c.window.x, kArea.top + c.window.y};
        SCOPED_TRACE(::testing::Message() << "window point " << c.window.x << "," << c.window.y);
        EXPECT_EQ(ClickTarget(at), c.insideShape ? upper_ : lower_);
        EXPECT_EQ(screen.At(c.window.x, c.window.y), c.insideShape ? 0x0000FFu : 0xFF0000u);
    }
}

TEST_F(ShapeTest, BoundingAndInputShapesBothHoldTheRegion) {
    backend_->SetShape(upper_, kShape, true);
    Settle();
    for (ShapeKind kind : {ShapeKind::Bounding, ShapeKind::Input}) {
        const auto rects = session_->ShapeRects(upper_, kind);
        ASSERT_EQ(rects.size(), kShape.size());
        for (std::size_t i = 0; i < rects.size(); ++i) {
            EXPECT_EQ(rects[i].left, kShape[i].left);
            EXPECT_EQ(rects[i].top, kShape[i].top);
            EXPECT_EQ(rects[i].right, kShape[i].right);
            EXPECT_EQ(rects[i].bottom, kShape[i].bottom);
        }
    }
}

// A list that is not y-x banded must still give the same area, not be rejected by the server.
TEST_F(ShapeTest, UnorderedAndDegenerateRectanglesStillShapeTheWindow) {
    const std::vector<RECT> messy{
        {0, 150, 80, 200}, {120, 0, 200, 150}, {50, 60, 50, 90}, {0, 0, 80, 150}, {10, 10, 5, 5}};
    backend_->SetShape(upper_, messy, true);
    Settle();
    EXPECT_EQ(ClickTarget({kArea.left + 10, kArea.top + 190}), upper_);
    EXPECT_EQ(ClickTarget({kArea.left + 100, kArea.top + 50}), lower_);
    EXPECT_EQ(ClickTarget({kArea.left + 150, kArea.top + 170}), lower_);
    EXPECT_EQ(session_->ShapeRects(upper_, ShapeKind::Input).size(), 3u);
}

TEST_F(ShapeTest, RemovingTheShapeRestoresTheRectangle) {
    backend_->SetShape(upper_, kShape, true);
    backend_->SetShape(upper_, {}, false);
    Settle();
    for (ShapeKind kind : {ShapeKind::Bounding, ShapeKind::Input}) {
        const auto rects = session_->ShapeRects(upper_, kind);
        ASSERT_EQ(rects.size(), 1u);
        EXPECT_EQ(rects[0].right - rects[0].left, 200);
        EXPECT_EQ(rects[0].bottom - rects[0].top, 200);
    }
    EXPECT_EQ(ClickTarget({kArea.left + 100, kArea.top + 50}), upper_);
}

TEST_F(ShapeTest, AnEmptyRegionLeavesNothingToClick) {
    backend_->SetShape(upper_, {}, true);
    Settle();
    EXPECT_TRUE(session_->ShapeRects(upper_, ShapeKind::Input).empty());
    EXPECT_EQ(ClickTarget({kArea.left + 10, kArea.top + 10}), lower_);
}

} // namespace
} // namespace nerith::testing
