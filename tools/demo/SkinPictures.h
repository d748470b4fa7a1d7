// The skin library's pictures as the updater shows them, decoded by the platform's own loaders
// so that they compare pixel for pixel with screenshots of its windows.
#pragma once

#include "Image.h"
#include "platform/wintypes.h"

#include <string>

namespace nerith::demo {

// The pixels of a bitmap, as 0x00RRGGBB; empty when `bitmap` is not one.
testing::Image ReadPixels(HBITMAP bitmap);
// A JPEG resource of type "jpgs"; an empty image and `error` set when it cannot be decoded.
testing::Image LoadSkinJpegPicture(const std::string& dllPath, int id, std::string* error);
// A bitmap resource (the shape mask).
testing::Image LoadSkinBitmapPicture(const std::string& dllPath, int id, std::string* error);

} // namespace nerith::demo
