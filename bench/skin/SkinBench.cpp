// The cost of dressing a window: decoding skin pictures and building its region.
#include "BitmapRegion.h"
#include "SkinLibrary.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// A 1920 x 1080 mask with rounded corners and a round hole: long runs, some rows split.
HBITMAP LargeMask() {
    BITMAPINFO bmi{};
    bmi.bmiHeader =
        BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 1920, 1080, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int row = 0; row < 1080; ++row) {
        const int y = 1079 - row;
        for (int x = 0; x < 1920; ++x) {
            const double cx = std::min(x, 1919 - x), cy = std::min(y, 1079 - y);
            const bool corner = cx < 60 && cy < 60 && std::hypot(60 - cx, 60 - cy) > 60;
            const bool hole = std::hypot(x - 960.0, y - 540.0) < 200;
            pixels[row * 1920 + x] = corner || hole ? 0x00FFFFFFu : 0x00203040u;
        }
    }
    return bmp;
}

void BM_RegionFromSkinMask(benchmark::State& state) {
    CBitmap mask;
    SIZE size{};
    LoadSkinBitmap("1021", &mask, &size);
    for (auto _ : state) {
        HRGN rgn = BuildRegionFromBitmap(mask, RGB(255, 255, 255), 0);
        benchmark::DoNotOptimize(rgn);
        DeleteObject(rgn);
    }
}
BENCHMARK(BM_RegionFromSkinMask)->Unit(benchmark::kMillisecond);

void BM_RegionFromFullHdMask(benchmark::State& state) {
    HBITMAP mask = LargeMask();
    for (auto _ : state) {
        HRGN rgn = BuildRegionFromBitmap(mask, RGB(255, 255, 255), 0);
        benchmark::DoNotOptimize(rgn);
        DeleteObject(rgn);
    }
    DeleteObject(mask);
}
BENCHMARK(BM_RegionFromFullHdMask)->Unit(benchmark::kMillisecond);

void BM_DecodeSkinPicture(benchmark::State& state) {
    CBitmap picture;
    SIZE size{};
    for (auto _ : state) {
        LoadSkinJpeg("1015", &picture, &size);
        benchmark::DoNotOptimize(size);
    }
}
BENCHMARK(BM_DecodeSkinPicture)->Unit(benchmark::kMillisecond);

void BM_LoadSkinMask(benchmark::State& state) {
    CBitmap mask;
    SIZE size{};
    for (auto _ : state) {
        LoadSkinBitmap("1021", &mask, &size);
        benchmark::DoNotOptimize(size);
    }
}
BENCHMARK(BM_LoadSkinMask)->Unit(benchmark::kMillisecond);

// What the main window does when it is created: six loads and one region.
void BM_MainWindowSkin(benchmark::State& state) {
    for (auto _ : state) {
        CBitmap shape, normal, pressed, hover, disabled, background;
        SIZE size{};
        LoadSkinBitmap("1021", &shape, &size);
        LoadSkinJpeg("1015", &normal, &size);
        LoadSkinJpeg("1016", &pressed, &size);
        LoadSkinJpeg("1018", &hover, &size);
        LoadSkinJpeg("1015", &disabled, &size);
        LoadSkinJpeg("1015", &background, &size);
        HRGN rgn = BuildRegionFromBitmap(shape, RGB(255, 255, 255), 0);
        benchmark::DoNotOptimize(rgn);
        DeleteObject(rgn);
    }
}
BENCHMARK(BM_MainWindowSkin)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
