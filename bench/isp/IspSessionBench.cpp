// Loading the carried image, and a full verify + erase + program of Flash #1 through the real
// ISP library against nerith-devsim with its timing model off: the updater's own cost.
#include "DevsimProcess.h"
#include "IspSession.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

LRESULT WINAPI SendMessageA(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

namespace {

void LoadCarriedImage(benchmark::State& state) {
    auto session = std::make_unique<CIspSession>();
    session->m_strFilePath = NERITH_CARRIED_IMAGE;
    for (auto _ : state) {
        if (session->OnBLoadFile() != 1) {
            state.SkipWithError("the carried image did not load");
            return;
        }
        benchmark::DoNotOptimize(session->m_image);
    }
}
BENCHMARK(LoadCarriedImage)->Unit(benchmark::kMillisecond);

void VerifyEraseProgramFlash1(benchmark::State& state) {
    nerith::test::DevsimProcess devsim({"--image-version=1,0"});
    if (!devsim.Running()) {
        state.SkipWithError(devsim.Error().c_str());
        return;
    }
    devsim.UseAsDeviceFolder();
    auto session = std::make_unique<CIspSession>();
    session->m_strFilePath = NERITH_CARRIED_IMAGE;
    session->m_hNotifyWnd = reinterpret_cast<HWND>(1);
    if (session->EnterIcpMode() != 1 || session->OnBConnect() != 1 || session->OnBLoadFile() != 1) {
        state.SkipWithError("the simulated device did not take the session");
        return;
    }
    for (auto _ : state) {
        const bool ok =
            session->OnBVerify() == 1 && session->OnBMasserase() == 1 && session->OnBProgram() == 1;
        if (!ok) {
            state.SkipWithError("a stage failed");
            return;
        }
    }
}
BENCHMARK(VerifyEraseProgramFlash1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // Only EnterIcpMode's fixed waits are shortened; the measured stages have none.
    ::setenv("NERITH_TIME_SCALE", "0.001", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
