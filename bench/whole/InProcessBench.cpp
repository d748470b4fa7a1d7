#include "InProcessBench.h"

#include "BitmapRegion.h"
#include "MaskBitmaps.h"
#include "S19Reader.h"
#include "SkinLibrary.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>
#include <map>
#include <vector>

namespace nerith::bench {

namespace {

class CollectingReporter : public benchmark::ConsoleReporter {
public:
    CollectingReporter() {
        SetOutputStream(&std::cerr);
        SetErrorStream(&std::cerr);
    }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) {
                continue;
            }
            if (run.error_occurred || run.iterations == 0) {
                errors_[run.benchmark_name()] = run.error_message;
                continue;
            }
            seconds_[run.benchmark_name()] =
                run.real_accumulated_time / static_cast<double>(run.iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::optional<double> Seconds(const std::string& name, std::string* error) const {
        const auto it = seconds_.find(name);
        if (it != seconds_.end()) {
            return it->second;
        }
        const auto failed = errors_.find(name);
        *error = name + ": " + (failed == errors_.end() ? "did not run" : failed->second);
        return std::nullopt;
    }

private:
    std::map<std::string, double> seconds_;
    std::map<std::string, std::string> errors_;
};

void RegisterRead(const char* name, const std::string& path) {
    benchmark::RegisterBenchmark(name, [path](benchmark::State& state) {
        std::vector<BYTE> image(0x10000, 0xFF);
        std::vector<BYTE> pageMap(1024, 0);
        for (auto _ : state) {
            if (ReadS19File(path.c_str(), image.data(), pageMap.data()) != 0) {
                state.SkipWithError("the file does not open");
                return;
            }
            benchmark::DoNotOptimize(image.data());
        }
    })->Unit(benchmark::kMillisecond);
}

void RegisterRegion(const char* name, HBITMAP mask) {
    benchmark::RegisterBenchmark(name, [mask](benchmark::State& state) {
        for (auto _ : state) {
            HRGN rgn = BuildRegionFromBitmap(mask, RGB(255, 255, 255), 0);
            if (!rgn) {
                state.SkipWithError("no region");
                return;
            }
            benchmark::DoNotOptimize(rgn);
            DeleteObject(rgn);
        }
    })->Unit(benchmark::kMicrosecond);
}

void RegisterCopy(const char* name, const MaskDib& dib) {
    benchmark::RegisterBenchmark(name, [&dib](benchmark::State& state) {
        std::vector<std::uint8_t> target(dib.bytes);
        for (auto _ : state) {
            std::memcpy(target.data(), dib.bits, dib.bytes);
            benchmark::DoNotOptimize(target.data());
            benchmark::ClobberMemory();
        }
        state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * dib.bytes));
    })->Unit(benchmark::kMicrosecond);
}

} // namespace

std::optional<InProcessFigures> RunInProcessBenchmarks(const std::string& carriedImage,
                                                       const std::string& largeFile,
                                                       std::string* error) {
    CBitmap skinMask;
    SIZE size{};
    LoadSkinBitmap("1021", &skinMask, &size);
    const MaskDib skinDib = CopyToDib(skinMask);
    const MaskDib fullHd = FullHdMask();
    if (!skinDib.bits || !fullHd.bits) {
        *error = "cannot make the masks' DIB sections";
        return std::nullopt;
    }
    RegisterRead("read/carried", carriedImage);
    RegisterRead("read/large", largeFile);
    RegisterRegion("region/skin-mask", skinMask);
    RegisterCopy("memcpy/skin-mask", skinDib);
    RegisterRegion("region/1920x1080", fullHd.bitmap);
    RegisterCopy("memcpy/1920x1080", fullHd);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::ClearRegisteredBenchmarks();

    InProcessFigures figures;
    figures.skinMask = size;
    const std::pair<const char*, double*> wanted[] = {
        {"read/carried", &figures.readCarried},        {"read/large", &figures.readLarge},
        {"region/skin-mask", &figures.regionSkinMask}, {"memcpy/skin-mask", &figures.copySkinMask},
        {"region/1920x1080", &figures.regionFullHd},   {"memcpy/1920x1080", &figures.copyFullHd}};
    for (const auto& [name, target] : wanted) {
        const auto seconds = reporter.Seconds(name, error);
        if (!seconds) {
            return std::nullopt;
        }
        *target = *seconds;
    }
    return figures;
}

} // namespace nerith::bench
