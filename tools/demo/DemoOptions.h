// What scripts/demo-run (and scripts/screenshots) tell the demo's automated user.
#pragma once

#include <optional>
#include <string>

namespace nerith::demo {

struct DemoOptions {
    std::string updater;      // build/bin/nerith-update
    std::string devsim;       // build/bin/nerith-devsim
    std::string image;        // the carried S-record file, res/firmware.s19
    std::string srecCat;      // srec_cat
    std::string work;         // a folder of the demo's own, removed by the script
    std::string out;          // where the screenshots go
    bool interactive = false; // on $DISPLAY, with the user clicking
    bool screenshots = false; // the screenshot tour instead of the demo (no image needed)
};

// nullopt, with `error` set, when an option is missing or unknown.
std::optional<DemoOptions> ParseDemoOptions(int argc, char** argv, std::string* error);

} // namespace nerith::demo
