// The demo's automated user; scripts/demo-run starts it, and scripts/screenshots with
// --screenshots for the tour that takes the screenshots of docs/screenshots.
#include "DemoOptions.h"
#include "DemoUser.h"
#include "ScreenshotTour.h"

#include <cstdio>

int main(int argc, char** argv) {
    std::string error;
    auto options = nerith::demo::ParseDemoOptions(argc, argv, &error);
    if (!options) {
        std::fprintf(stderr, "nerith-demo-user: %s\n", error.c_str());
        return 2;
    }
    if (options->screenshots) {
        return nerith::demo::ScreenshotTour(std::move(*options)).Run();
    }
    return nerith::demo::DemoUser(std::move(*options)).Run();
}
