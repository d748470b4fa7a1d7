// Writes an icon image as an 8-bit RGBA PNG file.
#pragma once

#include "IconFile.h"

#include <string>

namespace nerith::icon {

// False with `error` set when the file cannot be written; nothing is left behind then.
bool WritePngFile(const std::string& path, const IconImage& image, std::string* error);

} // namespace nerith::icon
