#include "S19Image.h"

#include <cstdio>
#include <fstream>

namespace nerith::test {

namespace {

bool HexByte(const std::string& line, std::size_t at, std::uint8_t& value) {
    unsigned parsed = 0;
    if (at + 2 > line.size() || std::sscanf(line.c_str() + at, "%2x", &parsed) != 1) {
        return false;
    }
    value = static_cast<std::uint8_t>(parsed);
    return true;
}

// The record's bytes after "S1" (count, address, data, checksum), checked.
bool RecordBytes(const std::string& line, std::vector<std::uint8_t>& bytes) {
    std::uint8_t count = 0;
    if (!HexByte(line, 2, count) || count < 3 || line.size() < 4 + 2u * count) {
        return false;
    }
    bytes.assign(count + 1u, 0);
    unsigned sum = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (!HexByte(line, 2 + 2 * i, bytes[i])) {
            return false;
        }
        sum += bytes[i];
    }
    return (sum & 0xFF) == 0xFF;
}

} // namespace

bool ReadS19Image(const std::string& path, S19Image& image, std::string* error) {
    std::ifstream in(path);
    if (!in) {
        *error = "cannot open " + path;
        return false;
    }
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("S1", 0) != 0) {
            continue;
        }
        std::vector<std::uint8_t> bytes;
        if (!RecordBytes(line, bytes)) {
            *error = "bad record: " + line;
            return false;
        }
        unsigned address = bytes[1] * 256u + bytes[2];
        for (std::size_t i = 3; i + 1 < bytes.size(); ++i, ++address) {
            image.bytes[address & 0xFFFF] = bytes[i];
            image.pages[(address & 0xFFFF) / 64] = true;
        }
    }
    return true;
}

std::string S1Record(std::uint16_t address, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>(data.size() + 3),
                                    static_cast<std::uint8_t>(address >> 8),
                                    static_cast<std::uint8_t>(address)};
    bytes.insert(bytes.end(), data.begin(), data.end());
    unsigned sum = 0;
    std::string text = "S1";
    char hex[3];
    for (std::uint8_t b : bytes) {
        sum += b;
        std::snprintf(hex, sizeof(hex), "%02X", b);
        text += hex;
    }
    std::snprintf(hex, sizeof(hex), "%02X", ~sum & 0xFF);
    return text + hex;
}

} // namespace nerith::test
