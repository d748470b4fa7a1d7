// The skin library's pictures as the updater shows them, decoded by the platform's own loaders
// so that they compare pixel for pixel with screenshots of its windows.
#pragma once

#include "x11/Image.h"

#include <string>

namespace nerith::demo {

// A JPEG resource of type "jpgs"; an empty image and `error` set when it cannot be decoded.
testing::Image LoadSkinJpegPicture(const std::string& dllPath, int id, std::string* error);
// A bitmap resource (the shape mask).
testing::Image LoadSkinBitmapPicture(const std::string& dllPath, int id, std::string* error);

} // namespace nerith::demo
