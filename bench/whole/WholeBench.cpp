#include "WholeBench.h"

#include "DevsimControl.h"
#include "DevsimProcess.h"
#include "LargeS1File.h"

#include <cstdio>
#include <filesystem>

namespace nerith::bench {

namespace {

struct Screen {
    std::unique_ptr<testing::XvfbServer> server;
    std::unique_ptr<testing::XSession> session;
};

struct Device {
    std::string folder;
    std::unique_ptr<testing::ChildProcess> process;
};

void Progress(const char* what) {
    std::fprintf(stderr, "nerith-bench: %s\n", what);
}

std::optional<Device> StartDevice(const BenchOptions& options, const std::string& work,
                                  std::string* error) {
    Device device{work + "/devices", nullptr};
    testing::ProcessOptions process;
    process.argv = {options.bin + "/nerith-devsim", "--dir=" + device.folder,
                    "--image-version=1,63", "--timing"};
    process.unsetEnv = {"NERITH_TIME_SCALE"};
    device.process = testing::ChildProcess::Start(process, error);
    if (!device.process || !demo::WaitForDevsim(device.folder, 10000)) {
        *error = "nerith-devsim did not start: " + *error;
        return std::nullopt;
    }
    return device;
}

std::optional<Screen> StartScreen(std::string* error) {
    Screen screen;
    screen.server = testing::XvfbServer::Start({}, error);
    if (!screen.server) {
        *error = "Xvfb did not start: " + *error;
        return std::nullopt;
    }
    screen.session = testing::XSession::Open(screen.server->DisplayName());
    if (!screen.session) {
        *error = "cannot open " + screen.server->DisplayName();
        return std::nullopt;
    }
    return screen;
}

demo::UpdaterEnvironment UpdaterOn(const BenchOptions& options, const Screen& screen,
                                   const Device& device, const std::string& work) {
    demo::UpdaterEnvironment environment;
    environment.program = options.bin + "/nerith-update";
    environment.display = screen.server->DisplayName();
    environment.deviceDir = device.folder;
    environment.temp = work;
    return environment;
}

StartupPrograms StartupOf(const BenchOptions& options, const demo::UpdaterEnvironment& updater) {
    StartupPrograms programs;
    programs.updater.argv = {updater.program};
    programs.updater.setEnv = {{"DISPLAY", updater.display},
                               {"NERITH_DISPLAY", "x11"},
                               {"NERITH_DEVICE_DIR", updater.deviceDir},
                               {"TEMP", *updater.temp}};
    programs.updater.unsetEnv = {"NERITH_TIME_SCALE"};
    programs.xmessage.argv = {options.xmessage, "Nerith"};
    programs.xmessage.setEnv = {{"DISPLAY", updater.display}};
    return programs;
}

bool MeasureReaders(const BenchOptions& options, const std::string& work, BenchFigures& figures,
                    std::string* error) {
    const ReaderPrograms programs{options.bin + "/nerith-s19-image", options.srecCat, work};
    const std::string large = work + "/large.s19";
    Progress("S-record readers as programs");
    auto carried = CompareReaders(programs, options.image, options.readerRuns, error);
    auto generated =
        carried ? CompareReaders(programs, large, options.readerRuns, error) : std::nullopt;
    if (!generated) {
        return false;
    }
    figures.carried = *carried;
    figures.large = *generated;
    return true;
}

bool MeasureOnScreen(const BenchOptions& options, const std::string& work, BenchFigures& figures,
                     std::string* error) {
    auto device = StartDevice(options, work, error);
    auto screen = device ? StartScreen(error) : std::nullopt;
    demo::ScreenRecognizer recognizer;
    if (!screen || !recognizer.Load(options.bin + "/skins/ridozuveza.dll", error)) {
        return false;
    }
    const demo::UpdaterEnvironment updater = UpdaterOn(options, *screen, *device, work);
    Progress("start-up to the first frame");
    auto startup =
        CompareStartup(*screen->session, StartupOf(options, updater), options.startupRuns, error);
    if (!startup) {
        return false;
    }
    Progress("whole updates with the HC908 timing model");
    const UpdateSetup setup{updater, options.srecCat, options.image, work};
    auto update = TimeUpdates(*screen->session, recognizer, setup, options.updateRuns, error);
    if (!update) {
        return false;
    }
    figures.startup = *startup;
    figures.update = *update;
    return true;
}

} // namespace

std::optional<BenchFigures> RunWholeBench(const BenchOptions& options, std::string* error) {
    const test::TempFolder work;
    BenchFigures figures;
    figures.readerRuns = options.readerRuns;
    figures.startupRuns = options.startupRuns;
    figures.updateRuns = options.updateRuns;
    std::error_code ec;
    figures.carriedBytes = std::filesystem::file_size(options.image, ec);
    if (ec) {
        *error = "cannot read " + options.image + ": " + ec.message();
        return std::nullopt;
    }
    figures.largeBytes = WriteLargeS1File(work.File("large.s19"), options.largeFileBytes, error);
    if (figures.largeBytes == 0) {
        return std::nullopt;
    }
    Progress("in-process benchmarks");
    auto inProcess = RunInProcessBenchmarks(options.image, work.File("large.s19"), error);
    if (!inProcess) {
        return std::nullopt;
    }
    figures.inProcess = *inProcess;
    if (!MeasureReaders(options, work.Path(), figures, error) ||
        !MeasureOnScreen(options, work.Path(), figures, error)) {
        return std::nullopt;
    }
    return figures;
}

} // namespace nerith::bench
