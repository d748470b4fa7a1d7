#include "CarriedImagePath.h"
#include "DriverServer.h"
#include "NerithDevice.h"
#include "Options.h"
#include "Settings.h"
#include "platform/internal/device_folder.h"

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    devsim::Options options;
    std::string error;
    if (!devsim::ParseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "nerith-devsim: %s (see --help)\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(devsim::HelpText(), stdout);
        return 0;
    }
    devsim::NerithDevice device;
    const bool flashGiven =
        std::any_of(options.settings.begin(), options.settings.end(), [](const auto& setting) {
            return setting.first == "flash" || setting.first == "image-version";
        });
    if (!flashGiven) {
        error = devsim::ApplySetting(device, "flash", devsim::CarriedImagePath());
    }
    for (const auto& [key, value] : options.settings) {
        if (!error.empty()) {
            break;
        }
        error = devsim::ApplySetting(device, key, value);
    }
    if (!error.empty()) {
        std::fprintf(stderr, "nerith-devsim: %s\n", error.c_str());
        return 2;
    }
    const std::string folder =
        options.folder.empty() ? platform::devices::DeviceFolder() : options.folder;
    devsim::DriverServer server(device, folder, options.name);
    if (!server.Start(error)) {
        std::fprintf(stderr, "nerith-devsim: %s\n", error.c_str());
        return 1;
    }
    std::printf("nerith-devsim: serving %s (control: %s)\n", server.DevicePath().c_str(),
                server.ControlPath().c_str());
    std::fflush(stdout);
    return server.Run();
}
