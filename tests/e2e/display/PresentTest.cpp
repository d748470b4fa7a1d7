#include "BackendFixture.h"

#include "platform/internal/surface.h"

namespace nerith::testing {
namespace {

constexpr RECT kRect{30, 40, 94, 88}; // 64 x 48

// Every pixel distinct, and channels that differ, so swapped channels or rows show.
platform::gdi::Surface Pattern(int width, int height) {
    platform::gdi::Surface surface(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            surface.pixels[static_cast<std::size_t>(y) * width + x] =
                static_cast<std::uint32_t>((x * 4) << 16 | (y * 5) << 8 | ((x + y) * 3 & 0xFF));
        }
    }
    return surface;
}

Image Expected(const platform::gdi::Surface& surface, std::uint32_t (*quantise)(std::uint32_t)) {
    Image image(surface.width, surface.height);
    for (std::size_t i = 0; i < surface.pixels.size(); ++i) {
        image.pixels[i] = quantise(surface.pixels[i]);
    }
    return image;
}

std::uint32_t Exact(std::uint32_t rgb) {
    return rgb & 0xFFFFFF;
}

// 5-6-5 storage read back with the high bits repeated into the low ones.
std::uint32_t Rgb565(std::uint32_t rgb) {
    const std::uint32_t r = (rgb >> 19) & 0x1F, g = (rgb >> 10) & 0x3F, b = (rgb >> 3) & 0x1F;
    return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

using PresentTest = BackendTest;

TEST_F(PresentTest, PresentedPixelsReachTheScreenExactly) {
    const NativeId id = ShowWindow(kRect);
    const auto surface = Pattern(64, 48);
    backend_->Present(id, surface, RECT{0, 0, 64, 48});
    Settle();
    const Image expected = Expected(surface, Exact);
    const Image window = CaptureWindow(*session_, id);
    EXPECT_FALSE(FirstDifference(window, expected)) << DescribeDifference(window, expected);
    const Image screen = CaptureScreen(*session_, kRect);
    EXPECT_FALSE(FirstDifference(screen, expected)) << DescribeDifference(screen, expected);
}

TEST_F(PresentTest, OnlyTheDirtyRectangleIsShown) {
    const NativeId id = ShowWindow(kRect);
    PaintSolid(id, kRect, 0x000000);
    const auto surface = Pattern(64, 48);
    const RECT dirty{10, 5, 30, 20};
    backend_->Present(id, surface, dirty);
    Settle();
    const Image shown = CaptureWindow(*session_, id);
    ASSERT_EQ(shown.width, 64);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool inside =
                x >= dirty.left && x < dirty.right && y >= dirty.top && y < dirty.bottom;
            ASSERT_EQ(shown.At(x, y), inside ? surface.At(x, y) : 0u) << x << "," << y;
        }
    }
}

TEST_F(PresentTest, DirtyRectanglesOutsideTheSurfaceAreClipped) {
    const NativeId id = ShowWindow(kRect);
    PaintSolid(id, kRect, 0x000000);
    const platform::gdi::Surface white(64, 48, 0xFFFFFF);
    backend_->Present(id, white, RECT{-100, -100, 8, 8});
    backend_->Present(id, white, RECT{60, 44, 10000, 10000});
    backend_->Present(id, white, RECT{20, 20, 10, 10}); // inverted: nothing
    Settle();
    const Image shown = CaptureWindow(*session_, id);
    EXPECT_EQ(CountPixels(shown, 0xFFFFFF), 8 * 8 + 4 * 4);
    EXPECT_EQ(CountPixels(shown, 0xFFFFFF, RECT{0, 0, 8, 8}), 64);
    EXPECT_EQ(CountPixels(shown, 0xFFFFFF, RECT{60, 44, 64, 48}), 16);
}

// A window shown a band at a time: each band lands at its origin, and what the dirty rectangle
// asks for beyond the band is left alone.
TEST_F(PresentTest, ABandOfTheWindowLandsAtItsOrigin) {
    struct Case {
        POINT origin;
        SIZE band;
        RECT dirty;
    };
    const Case cases[] = {
        {{0, 20}, {64, 10}, {0, 0, 64, 48}},
        {{16, 30}, {32, 8}, {0, 0, 40, 48}},
        {{50, 40}, {30, 30}, {0, 0, 64, 48}},
    };
    for (const Case& c : cases) {
        const NativeId id = ShowWindow(kRect);
        PaintSolid(id, kRect, 0x000000);
        const auto band = Pattern(c.band.cx, c.band.cy);
        backend_->Present(id, band, c.origin, c.dirty);
        Settle();
        const Image shown = CaptureWindow(*session_, id);
        ASSERT_EQ(shown.width, 64);
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 64; ++x) {
                const int bx = x - c.origin.x;
                const int by = y - c.origin.y;
                const bool inside = bx >= 0 && by >= 0 && bx < c.band.cx && by < c.band.cy &&
                                    x < c.dirty.right && y < c.dirty.bottom;
                ASSERT_EQ(shown.At(x, y), inside ? band.At(bx, by) : 0u)
                    << x << "," << y << " of a band at " << c.origin.x << "," << c.origin.y;
            }
        }
        backend_->Destroy(id);
    }
}

TEST_F(PresentTest, ASurfaceWhosePixelsDoNotMatchItsSizeIsRefused) {
    const NativeId id = ShowWindow(kRect);
    PaintSolid(id, kRect, 0x123456);
    platform::gdi::Surface broken(64, 48, 0xFFFFFF);
    broken.pixels.resize(10);
    backend_->Present(id, broken, RECT{0, 0, 64, 48});
    Settle();
    EXPECT_EQ(CountPixels(CaptureWindow(*session_, id), 0x123456), 64 * 48);
}

TEST_F(PresentTest, UncoveredPartsAreReportedForPresentingAgain) {
    const NativeId id = ShowWindow(kRect);
    Drain();
    const XId cover = session_->CreatePlainWindow(RECT{50, 60, 70, 70}, true);
    session_->MapWindow(cover);
    session_->DestroyWindow(cover);
    const auto expose = WaitForEvent(EventType::Expose, id);
    ASSERT_TRUE(expose);
    EXPECT_LE(expose->screenRect.left, 50);
    EXPECT_LE(expose->screenRect.top, 60);
    EXPECT_GE(expose->screenRect.right, 70);
    EXPECT_GE(expose->screenRect.bottom, 70);
    EXPECT_GE(expose->screenRect.left, kRect.left);
    EXPECT_LE(expose->screenRect.right, kRect.right);
}

// A window that is covered and uncovered while its program reads no events shows its last
// picture again at once, as the Windows compositor keeps it, with or without the server's
// backing store.
class PresentWhileBusyTest : public BackendTest, public ::testing::WithParamInterface<bool> {
protected:
    XvfbOptions ServerOptions() const override {
        XvfbOptions options;
        if (!GetParam()) {
            options.arguments = {"-bs"};
        }
        return options;
    }
};

TEST_P(PresentWhileBusyTest, AnUncoveredWindowShowsItsLastPictureWithoutTheProgram) {
    const NativeId id = ShowWindow(kRect);
    const auto surface = Pattern(64, 48);
    backend_->Present(id, surface, RECT{0, 0, 64, 48});
    Settle();
    const Image expected = Expected(surface, Exact);
    for (const bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "cover destroyed" : "cover unmapped");
        const XId cover = session_->CreatePlainWindow(RECT{20, 30, 80, 70}, true);
        session_->MapWindow(cover);
        session_->FillRect(cover, RECT{0, 0, 60, 40}, 0xFFFFFF);
        session_->Sync();
        ASSERT_NE(CaptureScreen(*session_, kRect).At(20, 10), expected.At(20, 10));
        if (destroy) {
            session_->DestroyWindow(cover);
        } else {
            session_->UnmapWindow(cover);
        }
        session_->Sync();
        const Image shown = CaptureScreen(*session_, kRect);
        EXPECT_FALSE(FirstDifference(shown, expected)) << DescribeDifference(shown, expected);
    }
}

TEST_P(PresentWhileBusyTest, AGrownWindowKeepsWhatItShowedAndIsBlackBeyond) {
    const NativeId id = ShowWindow(kRect);
    const auto surface = Pattern(64, 48);
    backend_->Present(id, surface, RECT{0, 0, 64, 48});
    const RECT grown{kRect.left, kRect.top, kRect.left + 100, kRect.top + 60};
    backend_->Move(id, grown);
    Settle();
    const XId cover = session_->CreatePlainWindow(grown, true);
    session_->MapWindow(cover);
    session_->FillRect(cover, RECT{0, 0, 100, 60}, 0xFFFFFF);
    session_->DestroyWindow(cover);
    session_->Sync();
    const Image shown = CaptureScreen(*session_, grown);
    ASSERT_EQ(shown.width, 100);
    const Image kept = Crop(shown, RECT{0, 0, 64, 48});
    const Image expected = Expected(surface, Exact);
    EXPECT_FALSE(FirstDifference(kept, expected)) << DescribeDifference(kept, expected);
    EXPECT_EQ(CountPixels(shown, 0x000000, RECT{64, 0, 100, 60}), 36 * 60);
    EXPECT_EQ(CountPixels(shown, 0x000000, RECT{0, 48, 64, 60}), 64 * 12);
}

INSTANTIATE_TEST_SUITE_P(BackingStore, PresentWhileBusyTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Default" : "Off"; });

class PresentAt16BitsTest : public BackendTest {
protected:
    XvfbOptions ServerOptions() const override {
        XvfbOptions options;
        options.depth = 16;
        return options;
    }
};

TEST_F(PresentAt16BitsTest, PixelsAreConvertedToTheVisual) {
    ASSERT_EQ(session_->Depth(), 16);
    const NativeId id = ShowWindow(kRect);
    const auto surface = Pattern(64, 48);
    backend_->Present(id, surface, RECT{0, 0, 64, 48});
    Settle();
    const Image expected = Expected(surface, Rgb565);
    const Image window = CaptureWindow(*session_, id);
    EXPECT_FALSE(FirstDifference(window, expected)) << DescribeDifference(window, expected);
}

} // namespace
} // namespace nerith::testing
