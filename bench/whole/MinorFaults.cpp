#include "MinorFaults.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace nerith::bench {

namespace {

// Fields after the command name, which ends at the last ')': state ppid pgrp session tty_nr
// tpgid flags minflt.
constexpr int kMinfltAfterName = 7;

std::optional<long> ParseCount(const std::string& text) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0' || value < 0) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<long> ParseMinorFaults(const std::string& stat) {
    // The name may hold spaces and parentheses of its own.
    const std::size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos || stat.find('(') > nameEnd) {
        return std::nullopt;
    }
    std::istringstream fields(stat.substr(nameEnd + 1));
    std::string field;
    for (int i = 0; i <= kMinfltAfterName; ++i) {
        if (!(fields >> field)) {
            return std::nullopt;
        }
    }
    return ParseCount(field);
}

std::optional<long> MinorFaults(int pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    if (!file) {
        return std::nullopt;
    }
    std::stringstream text;
    text << file.rdbuf();
    return ParseMinorFaults(text.str());
}

} // namespace nerith::bench
