// Writes the pictures of the test skin library: a valid 320 x 240 JPEG, a truncated JPEG,
// bytes that are no picture, and a 200 x 150 mask.
//   make-skin-fixture OUTPUT_DIR
#include "EncodeJpeg.h"

#include <cstdio>
#include <string>
#include <vector>

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

// A 24-bit BMP file: dark inside a 10-pixel margin, white outside.
std::vector<std::uint8_t> Mask(int width, int height) {
    const std::uint32_t stride = (width * 3 + 3) & ~3u;
    std::vector<std::uint8_t> out = {'B', 'M'};
    Put(out, 54 + stride * height, 4);
    Put(out, 0, 4);
    Put(out, 54, 4);
    Put(out, 40, 4);
    Put(out, width, 4);
    Put(out, height, 4);
    Put(out, 1, 2);
    Put(out, 24, 2);
    for (int i = 0; i < 6; ++i) {
        Put(out, 0, 4);
    }
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < static_cast<int>(stride); ++x) {
            const bool inside = x / 3 >= 10 && x / 3 < width - 10 && y >= 10 && y < height - 10;
            out.push_back(x / 3 < width && !inside ? 0xFF : 0x00);
        }
    }
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
                    Write(dir + "/mask.bmp", Mask(200, 150));
    return ok ? 0 : 1;
}
