// Build-time tool for the icon tests: writes icon files whose every pixel the tests know.
//   sizes.ico:      16 x 16 4-bit red, 32 x 32 8-bit green with its top-left 8 x 8 masked out,
//                   48 x 48 24-bit blue.
//   bad-index.ico:  1 x 1 8-bit whose pixel names palette entry 255 of a one-entry palette.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct IconImage {
    int side = 0;
    int bits = 0;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB
    int colour = 0;                     // palette index, or 0x00RRGGBB for 24 bits
    int maskedSquare = 0;               // top-left square left transparent by the AND mask
};

void Put16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(Bytes& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::size_t Stride(int side, int bits) {
    return ((static_cast<std::size_t>(side) * bits + 31) / 32) * 4;
}

void PutPixelRow(Bytes& out, const IconImage& image) {
    Bytes row(Stride(image.side, image.bits), 0);
    for (std::size_t x = 0; x < static_cast<std::size_t>(image.side); ++x) {
        if (image.bits == 24) {
            row[3 * x] = image.colour & 0xFF;
            row[3 * x + 1] = (image.colour >> 8) & 0xFF;
            row[3 * x + 2] = (image.colour >> 16) & 0xFF;
        } else if (image.bits == 8) {
            row[x] = static_cast<std::uint8_t>(image.colour);
        } else {
            row[x / 2] |= static_cast<std::uint8_t>(image.colour << (x % 2 ? 0 : 4));
        }
    }
    out.insert(out.end(), row.begin(), row.end());
}

Bytes Encode(const IconImage& image) {
    Bytes out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(image.side));
    Put32(out, static_cast<std::uint32_t>(image.side * 2));
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(image.bits));
    for (int i = 0; i < 4; ++i) {
        Put32(out, 0); // compression, image size, resolution
    }
    Put32(out, static_cast<std::uint32_t>(image.palette.size()));
    Put32(out, 0);
    for (const std::uint32_t c : image.palette) {
        Put32(out, c);
    }
    for (int y = 0; y < image.side; ++y) {
        PutPixelRow(out, image);
    }
    // Rows are stored bottom-up: row y from the top is stored at side - 1 - y.
    for (int stored = 0; stored < image.side; ++stored) {
        const int y = image.side - 1 - stored;
        Bytes row(Stride(image.side, 1), 0);
        for (int x = 0; x < image.side; ++x) {
            if (x < image.maskedSquare && y < image.maskedSquare) {
                row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

bool Write(const std::string& path, const std::vector<IconImage>& images) {
    Bytes file;
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, static_cast<unsigned>(images.size()));
    std::vector<Bytes> encoded;
    encoded.reserve(images.size());
    for (const IconImage& image : images) {
        encoded.push_back(Encode(image));
    }
    std::size_t offset = 6 + 16 * images.size();
    for (std::size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<std::uint8_t>(images[i].side));
        file.push_back(static_cast<std::uint8_t>(images[i].side));
        file.push_back(images[i].bits == 4 ? 16 : 0);
        file.push_back(0);
        Put16(file, 1);
        Put16(file, static_cast<unsigned>(images[i].bits));
        Put32(file, static_cast<std::uint32_t>(encoded[i].size()));
        Put32(file, static_cast<std::uint32_t>(offset));
        offset += encoded[i].size();
    }
    for (const Bytes& e : encoded) {
        file.insert(file.end(), e.begin(), e.end());
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return false;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    return std::fclose(f) == 0 && written;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    std::vector<std::uint32_t> sixteen(16, 0);
    sixteen[1] = 0xFF0000;
    const std::vector<IconImage> sizes{
        {16, 4, sixteen, 1, 0},
        {32, 8, {0x000000, 0x00FF00}, 1, 8},
        {48, 24, {}, 0x0000FF, 0},
    };
    const std::vector<IconImage> badIndex{{1, 8, {0xFFFFFF}, 255, 0}};
    if (!Write(folder + "/sizes.ico", sizes) || !Write(folder + "/bad-index.ico", badIndex)) {
        std::fprintf(stderr, "cannot write the test icons into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
