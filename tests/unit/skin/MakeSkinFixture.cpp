// Writes the pictures of the test skin libraries: a valid 320 x 240 JPEG, a truncated JPEG,
// bytes that are no picture and a 200 x 150 mask for the library of broken pictures; a white
// mask, a mask half the pictures' size, and a JPEG and a bitmap of 16384 x 16384 pixels for the
// libraries that put one bad piece beside the real skin's pictures.
//   make-skin-fixture OUTPUT_DIR
#include "EncodeJpeg.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

bool Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

void Put(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

// The file and info headers of a bottom-up BMP file with `paletteBytes` of colour table.
std::vector<std::uint8_t> BmpHeaders(int width, int height, int bits, std::uint32_t paletteBytes,
                                     std::uint32_t imageBytes) {
    const std::uint32_t offset = 54 + paletteBytes;
    std::vector<std::uint8_t> out = {'B', 'M'};
    Put(out, offset + imageBytes, 4);
    Put(out, 0, 4);
    Put(out, offset, 4);
    Put(out, 40, 4);
    Put(out, width, 4);
    Put(out, height, 4);
    Put(out, 1, 2);
    Put(out, bits, 2);
    Put(out, 0, 4);
    Put(out, imageBytes, 4);
    Put(out, 0, 4);
    Put(out, 0, 4);
    Put(out, paletteBytes / 4, 4);
    Put(out, 0, 4);
    return out;
}

// A 24-bit BMP file: dark inside a margin, white outside (all white when the margin leaves
// nothing inside).
std::vector<std::uint8_t> Mask(int width, int height, int margin) {
    const std::uint32_t stride = (width * 3 + 3) & ~3u;
    std::vector<std::uint8_t> out = BmpHeaders(width, height, 24, 0, stride * height);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < static_cast<int>(stride); ++x) {
            const bool inside =
                x / 3 >= margin && x / 3 < width - margin && y >= margin && y < height - margin;
            out.push_back(x / 3 < width && !inside ? 0xFF : 0x00);
        }
    }
    return out;
}

// A 1-bit BMP file of one dark colour: the smallest bitmap of its size there is.
std::vector<std::uint8_t> DarkBitmap(int width, int height) {
    const std::uint32_t stride = ((width + 31) / 32) * 4;
    std::vector<std::uint8_t> out = BmpHeaders(width, height, 1, 8, stride * height);
    Put(out, 0x00283440, 4);
    Put(out, 0x00FFFFFF, 4);
    out.resize(out.size() + static_cast<std::size_t>(stride) * height, 0);
    return out;
}

// A valid grey JPEG, encoded a row at a time so that even a huge one costs a row of memory;
// one flat colour keeps it a few megabytes.
std::vector<std::uint8_t> GreyJpeg(int width, int height) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(width), 0x60);
    JSAMPROW rows[1] = {row.data()};
    while (cinfo.next_scanline < cinfo.image_height) {
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-skin-fixture OUTPUT_DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::vector<std::uint32_t> pixels(std::size_t{320} * 240);
    for (int i = 0; i < 320 * 240; ++i) {
        pixels[i] = static_cast<std::uint32_t>(((i % 320) * 0x010203) & 0x00FFFFFF);
    }
    const auto jpeg = jpeg_encoder::EncodeJpeg(pixels, 320, 240, 100);
    const std::vector<std::uint8_t> truncated(
        jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() / 2));
    const std::vector<std::uint8_t> garbage(500, 0x5A);
    const bool ok = Write(dir + "/valid.jpg", jpeg) && Write(dir + "/truncated.jpg", truncated) &&
                    Write(dir + "/garbage.bin", garbage) &&
                    Write(dir + "/mask.bmp", Mask(200, 150, 10)) &&
                    Write(dir + "/white-mask.bmp", Mask(380, 280, 190)) &&
                    Write(dir + "/half-mask.bmp", Mask(190, 140, 5)) &&
                    Write(dir + "/huge.jpg", GreyJpeg(16384, 16384)) &&
                    Write(dir + "/huge.bmp", DarkBitmap(16384, 16384));
    return ok ? 0 : 1;
}
