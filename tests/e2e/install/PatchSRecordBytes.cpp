#include "PatchSRecordBytes.h"

#include <cstdio>
#include <sstream>

namespace nerith::install_test {

namespace {

int Hex(const std::string& line, std::size_t at) {
    unsigned value = 0;
    return std::sscanf(line.substr(at, 2).c_str(), "%2x", &value) == 1 ? static_cast<int>(value)
                                                                       : -1;
}

void PutHex(std::string& line, std::size_t at, unsigned value) {
    static const char kHex[] = "0123456789ABCDEF";
    line[at] = kHex[(value >> 4) & 0xF];
    line[at + 1] = kHex[value & 0xF];
}

// Patches the bytes of one S1 line that fall inside it; returns how many did.
std::size_t PatchLine(std::string& line, std::uint32_t address,
                      const std::vector<std::uint8_t>& bytes) {
    const int count = line.size() >= 10 && line.rfind("S1", 0) == 0 ? Hex(line, 2) : -1;
    if (count < 3 || line.size() < 4 + 2 * static_cast<std::size_t>(count)) {
        return 0;
    }
    const std::uint32_t first = static_cast<std::uint32_t>(Hex(line, 4) << 8 | Hex(line, 6));
    const std::uint32_t length = static_cast<std::uint32_t>(count - 3);
    std::size_t patched = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint32_t at = address + static_cast<std::uint32_t>(i);
        if (at >= first && at < first + length) {
            PutHex(line, 8 + 2 * (at - first), bytes[i]);
            ++patched;
        }
    }
    unsigned sum = 0;
    for (int i = 0; i < count; ++i) {
        sum += static_cast<unsigned>(Hex(line, 2 + 2 * static_cast<std::size_t>(i)));
    }
    PutHex(line, 2 + 2 * static_cast<std::size_t>(count), ~sum & 0xFF);
    return patched;
}

} // namespace

std::optional<std::string> PatchSRecordBytes(const std::string& text, std::uint32_t address,
                                             const std::vector<std::uint8_t>& bytes) {
    std::istringstream lines(text);
    std::string line;
    std::string out;
    std::size_t patched = 0;
    while (std::getline(lines, line)) {
        patched += PatchLine(line, address, bytes);
        out += line + "\n";
    }
    if (patched != bytes.size()) {
        return std::nullopt;
    }
    return out;
}

} // namespace nerith::install_test
