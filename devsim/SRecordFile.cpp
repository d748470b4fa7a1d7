#include "SRecordFile.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace devsim {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

bool DecodeBytes(const std::string& hex, std::vector<std::uint8_t>& bytes) {
    if (hex.size() % 2 != 0) {
        return false;
    }
    bytes.clear();
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]);
        const int low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return true;
}

// Checks one record's shape and checksum; `bytes` holds count, address, data and checksum.
std::string CheckRecord(const std::string& line, std::vector<std::uint8_t>& bytes) {
    if (line.size() < 4 || line[0] != 'S') {
        return "not an S-record";
    }
    if (!DecodeBytes(line.substr(2), bytes) || bytes.empty()) {
        return "malformed hex digits";
    }
    if (bytes[0] + 1u != bytes.size()) {
        return "byte count does not match the record";
    }
    unsigned sum = 0;
    for (const std::uint8_t b : bytes) {
        sum += b;
    }
    return (sum & 0xFF) == 0xFF ? "" : "checksum mismatch";
}

std::string StoreData(const std::vector<std::uint8_t>& bytes, FlashMemory& flash) {
    if (bytes.size() < 4) {
        return "S1 record too short";
    }
    const std::uint32_t address = bytes[1] * 256u + bytes[2];
    const std::size_t dataLength = bytes.size() - 4;
    if (address + dataLength > FlashMemory::kSize) {
        return "data runs past 0xFFFF";
    }
    for (std::size_t i = 0; i < dataLength; ++i) {
        flash.Load(address + static_cast<std::uint32_t>(i), bytes[3 + i]);
    }
    return "";
}

std::string ApplyLine(const std::string& line, FlashMemory& flash) {
    std::vector<std::uint8_t> bytes;
    if (std::string problem = CheckRecord(line, bytes); !problem.empty()) {
        return problem;
    }
    switch (line[1]) {
    case '1':
        return StoreData(bytes, flash);
    case '0':
    case '5':
    case '6':
    case '9':
        return "";
    case '2':
    case '3':
    case '7':
    case '8':
        return "addresses wider than 16 bits do not fit the 64 KiB flash";
    default:
        return "unknown record type";
    }
}

} // namespace

bool LoadSRecordText(const std::string& text, FlashMemory& flash, std::string& error) {
    FlashMemory loaded = flash;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        if (std::string problem = ApplyLine(line, loaded); !problem.empty()) {
            error = "line " + std::to_string(number) + ": " + problem;
            return false;
        }
    }
    flash = loaded;
    return true;
}

bool LoadSRecordFile(const std::string& path, FlashMemory& flash, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!LoadSRecordText(text.str(), flash, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

namespace {

std::string Record(char type, std::uint32_t address, std::span<const std::uint8_t> data) {
    const unsigned count = static_cast<unsigned>(data.size()) + 3;
    unsigned sum = count + (address >> 8) + (address & 0xFF);
    char buffer[8];
    std::snprintf(buffer, sizeof(buffer), "%02X%04X", count, address);
    std::string record = std::string("S") + type + buffer;
    for (const std::uint8_t b : data) {
        std::snprintf(buffer, sizeof(buffer), "%02X", b);
        record += buffer;
        sum += b;
    }
    std::snprintf(buffer, sizeof(buffer), "%02X\r\n", ~sum & 0xFF);
    return record + buffer;
}

} // namespace

bool WriteSRecordFile(const std::string& path, const FlashMemory& flash, std::string& error) {
    constexpr std::uint32_t kRecordBytes = 32;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    const std::string header = "nerith-devsim flash";
    out << Record('0', 0, {reinterpret_cast<const std::uint8_t*>(header.data()), header.size()});
    for (std::uint32_t address = 0; address < FlashMemory::kSize; address += kRecordBytes) {
        out << Record('1', address, flash.Bytes().subspan(address, kRecordBytes));
    }
    out << Record('9', 0, {});
    out.flush();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace devsim
