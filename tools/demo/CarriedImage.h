// The firmware image the updater carries, as a device's Flash #1 must hold it after an update.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nerith::demo {

constexpr std::size_t kFlash1First = 0x7000;
constexpr std::size_t kFlash1End = 0xEE00; // one past the last byte

// Flash #1 of the S-record file as srec_cat reads it, 0xFF where the file gives nothing;
// empty with `error` set when srec_cat fails. `workFolder` takes one scratch file.
std::vector<std::uint8_t> ReferenceFlash1(const std::string& srecCat, const std::string& s19,
                                          const std::string& workFolder, std::string* error);
// Flash #1 out of a 65,536-byte flash dump; empty when the dump has another size.
std::vector<std::uint8_t> Flash1Of(const std::vector<std::uint8_t>& flash);

} // namespace nerith::demo
