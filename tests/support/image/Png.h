// Screenshots as PNG files (8-bit RGB), for people to look at and for tests to compare.
#pragma once

#include "Image.h"

#include <optional>
#include <string>

namespace nerith::testing {

// False, with `error` set, when the file cannot be written.
bool WritePng(const std::string& path, const Image& image, std::string* error = nullptr);
// nullopt, with `error` set, for a missing or malformed file. Alpha, if any, is dropped.
std::optional<Image> ReadPng(const std::string& path, std::string* error = nullptr);

} // namespace nerith::testing
