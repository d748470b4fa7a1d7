#include "PeakResident.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace nerith::bench {

namespace {

constexpr const char* kKey = "VmHWM:";

std::optional<long> ParseValue(const std::string& rest) {
    std::istringstream in(rest);
    std::string number;
    std::string unit;
    std::string extra;
    if (!(in >> number >> unit) || unit != "kB" || (in >> extra)) {
        return std::nullopt;
    }
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(number.c_str(), &end, 10);
    if (errno != 0 || end == number.c_str() || *end != '\0' || value < 0) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<long> ParseVmHwmKib(const std::string& status) {
    std::istringstream lines(status);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(kKey, 0) == 0) {
            return ParseValue(line.substr(std::string(kKey).size()));
        }
    }
    return std::nullopt;
}

std::optional<long> PeakResidentKib(int pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/status");
    if (!file) {
        return std::nullopt;
    }
    std::stringstream text;
    text << file.rdbuf();
    return ParseVmHwmKib(text.str());
}

} // namespace nerith::bench
