#include "PngFile.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace nerith::icon {

namespace {

// libpng reports failures by longjmp; nothing with a destructor lives inside this function.
bool Encode(std::FILE* file, const IconImage& image, png_bytepp rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool WritePngFile(const std::string& path, const IconImage& image, std::string* error) {
    std::vector<png_bytep> rows;
    rows.reserve(static_cast<std::size_t>(image.height));
    std::vector<std::uint8_t> pixels = image.rgba;
    for (int y = 0; y < image.height; ++y) {
        rows.push_back(pixels.data() + static_cast<std::size_t>(y) * image.width * 4);
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        *error = "cannot create " + path;
        return false;
    }
    const bool encoded = Encode(file, image, rows.data());
    if (std::fclose(file) != 0 || !encoded) {
        std::remove(path.c_str());
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace nerith::icon
