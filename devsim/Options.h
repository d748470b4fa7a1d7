// nerith-devsim's command line.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace devsim {

struct Options {
    std::string folder; // empty: the platform's device folder
    std::string name = "korvel";
    // Settings in command-line order, each as ApplySetting takes it.
    std::vector<std::pair<std::string, std::string>> settings;
    bool help = false;
};

bool ParseOptions(int argc, char** argv, Options& options, std::string& error);
const char* HelpText();

} // namespace devsim
