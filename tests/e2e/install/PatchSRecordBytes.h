// Rewrites data bytes inside the S1 records of an S-record text, with their checksums, so a
// test can make an image that differs from the installed one in a few bytes without any other
// tool.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nerith::install_test {

// The text with bytes[i] at address + i; nullopt when a byte lies in no S1 record.
std::optional<std::string> PatchSRecordBytes(const std::string& text, std::uint32_t address,
                                             const std::vector<std::uint8_t>& bytes);

} // namespace nerith::install_test
