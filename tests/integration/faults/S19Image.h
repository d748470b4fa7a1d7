// The carried S-record file read independently of the updater's reader, for the expected
// flash of each case: the bytes it gives and the 64-byte pages it touches.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace nerith::test {

struct S19Image {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(0x10000, 0xFF);
    std::array<bool, 1024> pages{};
};

// False with `error` set on a record that is malformed or has a wrong checksum.
bool ReadS19Image(const std::string& path, S19Image& image, std::string* error);
// The S1 record of `data` at `address`, with its checksum, without a line end.
std::string S1Record(std::uint16_t address, const std::vector<std::uint8_t>& data);

} // namespace nerith::test
