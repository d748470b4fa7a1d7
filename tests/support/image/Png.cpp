#include "Png.h"

#include <png.h>
#include <vector>

namespace nerith::testing {

namespace {

constexpr png_uint_32 kMaxSide = 16384;

bool Fail(std::string* error, const std::string& why) {
    if (error != nullptr) {
        *error = why;
    }
    return false;
}

} // namespace

bool WritePng(const std::string& path, const Image& image, std::string* error) {
    if (image.Empty() ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
        return Fail(error, "no pixels to write");
    }
    std::vector<png_byte> rgb;
    rgb.reserve(image.pixels.size() * 3);
    for (std::uint32_t pixel : image.pixels) {
        rgb.push_back(static_cast<png_byte>(pixel >> 16));
        rgb.push_back(static_cast<png_byte>(pixel >> 8));
        rgb.push_back(static_cast<png_byte>(pixel));
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&png, path.c_str(), 0, rgb.data(), 0, nullptr) == 0) {
        return Fail(error, path + ": " + png.message);
    }
    return true;
}

std::optional<Image> ReadPng(const std::string& path, std::string* error) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, path.c_str()) == 0) {
        Fail(error, path + ": " + png.message);
        return std::nullopt;
    }
    if (png.width == 0 || png.height == 0 || png.width > kMaxSide || png.height > kMaxSide) {
        png_image_free(&png);
        Fail(error, path + ": unreasonable size");
        return std::nullopt;
    }
    png.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(png));
    if (png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr) == 0) {
        Fail(error, path + ": " + png.message);
        return std::nullopt;
    }
    Image image(static_cast<int>(png.width), static_cast<int>(png.height));
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] =
            std::uint32_t{rgb[i * 3]} << 16 | std::uint32_t{rgb[i * 3 + 1]} << 8 | rgb[i * 3 + 2];
    }
    return image;
}

} // namespace nerith::testing
