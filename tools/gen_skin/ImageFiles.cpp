#include "ImageFiles.h"

#include "EncodeJpeg.h"

#include <cstdio>
#include <memory>

namespace gen_skin {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

void Put16(std::vector<unsigned char>& out, unsigned v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void Put32(std::vector<unsigned char>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Closing is part of writing: a full disk may only show there.
bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    File file(std::fopen(path.c_str(), "wb"));
    return file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
           std::fclose(file.release()) == 0;
}

} // namespace

bool WriteJpeg(const std::string& path, const std::vector<std::uint32_t>& pixels, int width,
               int height) {
    return WriteBytes(path, jpeg_encoder::EncodeJpeg(pixels, width, height, 93));
}

bool WriteBmp24(const std::string& path, const std::vector<std::uint32_t>& pixels, int width,
                int height) {
    const std::uint32_t stride = ((static_cast<std::uint32_t>(width) * 3 + 3) / 4) * 4;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(height);
    std::vector<unsigned char> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + 40 + imageSize);
    Put32(out, 0);
    Put32(out, 14 + 40);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height)); // bottom-up
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0); // BI_RGB
    Put32(out, imageSize);
    Put32(out, 3780); // 96 dpi
    Put32(out, 3780);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        const std::size_t start = out.size();
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
            out.push_back(static_cast<unsigned char>(p));
            out.push_back(static_cast<unsigned char>(p >> 8));
            out.push_back(static_cast<unsigned char>(p >> 16));
        }
        out.resize(start + stride, 0);
    }
    return WriteBytes(path, out);
}

} // namespace gen_skin
