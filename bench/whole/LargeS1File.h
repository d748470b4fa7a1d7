// A large Motorola S-record file of S1 records for reading benchmarks. S1 addresses reach
// only 64 KiB, so a file of several MB writes the address space over and over, each pass with
// other bytes: a reader must keep the last value written to an address.
#pragma once

#include <cstdint>
#include <string>

namespace nerith::bench {

// The byte that pass `pass` writes to `address`.
std::uint8_t LargeS1Byte(std::uint32_t pass, std::uint32_t address);
// Writes S0, S1 records of 32 bytes with CR LF line ends until the file holds at least
// `minimumSize` bytes, and S9. Returns the file's size; 0 with `error` set when it cannot be
// written (a partial file is removed).
std::uint64_t WriteLargeS1File(const std::string& path, std::uint64_t minimumSize,
                               std::string* error);

} // namespace nerith::bench
