#include "BenchOptions.h"

#include <cerrno>
#include <cstdlib>

namespace nerith::bench {

namespace {

bool ParseCount(const std::string& text, long limit, long* value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    *value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0' && *value >= 1 && *value <= limit;
}

std::string* PathOption(const std::string& key, BenchOptions& options) {
    if (key == "bin") {
        return &options.bin;
    }
    if (key == "image") {
        return &options.image;
    }
    if (key == "srec-cat") {
        return &options.srecCat;
    }
    return key == "xmessage" ? &options.xmessage : nullptr;
}

int* RunsOption(const std::string& key, BenchOptions& options) {
    if (key == "startup-runs") {
        return &options.startupRuns;
    }
    if (key == "update-runs") {
        return &options.updateRuns;
    }
    return key == "reader-runs" ? &options.readerRuns : nullptr;
}

// False when `key` is ours but its value is bad; `taken` tells whether it was ours.
bool Apply(const std::string& key, const std::string& value, BenchOptions& options, bool* taken,
           std::string* error) {
    *taken = true;
    if (std::string* path = PathOption(key, options)) {
        *path = value;
        if (value.empty()) {
            *error = "--" + key + " wants a path";
        }
        return !value.empty();
    }
    int* runs = RunsOption(key, options);
    if (!runs && key != "large-mb") {
        *taken = false;
        return true;
    }
    long count = 0;
    if (!ParseCount(value, 1000, &count)) {
        *error = "--" + key + " wants a whole number from 1 to 1000";
        return false;
    }
    if (runs) {
        *runs = static_cast<int>(count);
    } else {
        options.largeFileBytes = static_cast<std::uint64_t>(count) << 20;
    }
    return true;
}

} // namespace

std::optional<BenchOptions> ParseBenchOptions(int* argc, char** argv, BenchOptions defaults,
                                              std::string* error) {
    int kept = 1;
    for (int i = 1; i < *argc; ++i) {
        const std::string argument = argv[i];
        const auto equals = argument.find('=');
        bool taken = false;
        if (argument.rfind("--", 0) == 0 && equals != std::string::npos &&
            !Apply(argument.substr(2, equals - 2), argument.substr(equals + 1), defaults, &taken,
                   error)) {
            return std::nullopt;
        }
        if (!taken) {
            argv[kept++] = argv[i];
        }
    }
    *argc = kept;
    argv[kept] = nullptr;
    return defaults;
}

} // namespace nerith::bench
