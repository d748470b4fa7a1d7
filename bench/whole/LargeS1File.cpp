#include "LargeS1File.h"

#include <cstdio>
#include <vector>

namespace nerith::bench {

namespace {

constexpr std::uint32_t kRecordBytes = 32;
constexpr std::uint32_t kAddressSpace = 0x10000;

std::string Record(char type, std::uint32_t address, const std::vector<std::uint8_t>& data) {
    static const char kHex[] = "0123456789ABCDEF";
    const std::uint32_t count = static_cast<std::uint32_t>(data.size()) + 3;
    std::vector<std::uint8_t> fields{static_cast<std::uint8_t>(count),
                                     static_cast<std::uint8_t>(address >> 8),
                                     static_cast<std::uint8_t>(address)};
    fields.insert(fields.end(), data.begin(), data.end());
    std::uint32_t sum = 0;
    std::string line{'S', type};
    for (std::uint8_t byte : fields) {
        sum += byte;
        line += kHex[byte >> 4];
        line += kHex[byte & 0xF];
    }
    const std::uint8_t checksum = static_cast<std::uint8_t>(~sum);
    line += kHex[checksum >> 4];
    line += kHex[checksum & 0xF];
    return line + "\r\n";
}

std::string DataRecord(std::uint32_t pass, std::uint32_t address) {
    std::vector<std::uint8_t> data(kRecordBytes);
    for (std::uint32_t i = 0; i < kRecordBytes; ++i) {
        data[i] = LargeS1Byte(pass, address + i);
    }
    return Record('1', address, data);
}

} // namespace

std::uint8_t LargeS1Byte(std::uint32_t pass, std::uint32_t address) {
    return static_cast<std::uint8_t>(address * 7 + (address >> 8) + pass * 13);
}

std::uint64_t WriteLargeS1File(const std::string& path, std::uint64_t minimumSize,
                               std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        *error = "cannot create " + path;
        return 0;
    }
    const std::string header = Record('0', 0, {'b', 'e', 'n', 'c', 'h'});
    std::uint64_t size = 0;
    bool written = std::fputs(header.c_str(), file) >= 0;
    size += header.size();
    for (std::uint32_t pass = 0; written && size < minimumSize; ++pass) {
        for (std::uint32_t address = 0; written && address < kAddressSpace && size < minimumSize;
             address += kRecordBytes) {
            const std::string line = DataRecord(pass, address);
            written = std::fputs(line.c_str(), file) >= 0;
            size += line.size();
        }
    }
    const std::string end = Record('9', 0, {});
    written = written && std::fputs(end.c_str(), file) >= 0;
    size += end.size();
    if (std::fclose(file) != 0 || !written) {
        std::remove(path.c_str());
        *error = "cannot write " + path;
        return 0;
    }
    return size;
}

} // namespace nerith::bench
