#include "DemoOptions.h"

#include <map>

namespace nerith::demo {

std::optional<DemoOptions> ParseDemoOptions(int argc, char** argv, std::string* error) {
    DemoOptions options;
    const std::map<std::string, std::string*> values = {
        {"--updater", &options.updater}, {"--devsim", &options.devsim},
        {"--image", &options.image},     {"--srec-cat", &options.srecCat},
        {"--work", &options.work},       {"--out", &options.out},
    };
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--interactive") {
            options.interactive = true;
            continue;
        }
        if (argument == "--screenshots") {
            options.screenshots = true;
            continue;
        }
        const auto equals = argument.find('=');
        const auto target = values.find(argument.substr(0, equals));
        if (equals == std::string::npos || target == values.end()) {
            *error = "unknown option " + argument;
            return std::nullopt;
        }
        *target->second = argument.substr(equals + 1);
    }
    for (const auto& [name, value] : values) {
        const bool needed = !options.screenshots || (name != "--image" && name != "--srec-cat");
        if (needed && value->empty()) {
            *error = "missing " + name + "=...";
            return std::nullopt;
        }
    }
    return options;
}

} // namespace nerith::demo
