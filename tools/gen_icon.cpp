// Build-time tool: draws the application icon (a pointing device in the product's green on a
// dark tile) at 16, 32 and 48 pixels and writes it as a 32-bit .ico file.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

struct Color {
    float r, g, b, a;
};

struct Pixel {
    float r = 0, g = 0, b = 0, a = 0;

    // Source-over blend of `c` with coverage `cover`.
    void Over(Color c, float cover) {
        const float sa = c.a * cover;
        const float da = a * (1 - sa);
        const float out = sa + da;
        if (out <= 0) {
            return;
        }
        r = (c.r * sa + r * da) / out;
        g = (c.g * sa + g * da) / out;
        b = (c.b * sa + b * da) / out;
        a = out;
    }
};

// Signed distance from (x, y) to a rounded box centred at (cx, cy).
float RoundedBox(float x, float y, float cx, float cy, float hw, float hh, float radius) {
    const float qx = std::fabs(x - cx) - (hw - radius);
    const float qy = std::fabs(y - cy) - (hh - radius);
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

const Color kTile{0.09f, 0.11f, 0.10f, 1};
const Color kTileEdge{0.20f, 0.26f, 0.22f, 1};
const Color kBody{0.02f, 0.22f, 0.08f, 1};
const Color kGreen{0.0f, 1.0f, 0.0f, 1};

// Paints one sample point in unit coordinates (0..1 across the icon).
void Paint(Pixel& p, float x, float y, float stroke) {
    const float tile = RoundedBox(x, y, 0.5f, 0.5f, 0.47f, 0.47f, 0.18f);
    if (tile > 0) {
        return;
    }
    p.Over(tile > -stroke * 0.6f ? kTileEdge : kTile, 1);
    const float body = RoundedBox(x, y, 0.5f, 0.54f, 0.22f, 0.34f, 0.21f);
    if (body < 0) {
        p.Over(kBody, 1);
    }
    const bool outline = std::fabs(body) < stroke * 0.5f;
    const bool split = body < 0 && std::fabs(x - 0.5f) < stroke * 0.5f && y < 0.44f;
    const bool seam = body < 0 && std::fabs(y - 0.44f) < stroke * 0.5f;
    const bool wheel = RoundedBox(x, y, 0.5f, 0.33f, 0.045f, 0.075f, 0.045f) < 0;
    if (outline || split || seam || wheel) {
        p.Over(kGreen, 1);
    }
}

std::vector<Pixel> Draw(int size) {
    constexpr int kSamples = 4;
    // Lines stay at least one pixel wide at the smallest size.
    const float stroke = std::max(0.06f, 1.1f / static_cast<float>(size));
    std::vector<Pixel> pixels(static_cast<std::size_t>(size * size));
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            Pixel sum;
            for (int s = 0; s < kSamples * kSamples; ++s) {
                Pixel sample;
                // Sample s sits in column s % kSamples, row s / kSamples of the pixel's grid.
                const int sampleColumn = s % kSamples;
                const int sampleRow = s / kSamples;
                const float column = static_cast<float>(sampleColumn) + 0.5f;
                const float row = static_cast<float>(sampleRow) + 0.5f;
                const float x =
                    (static_cast<float>(px) + column / kSamples) / static_cast<float>(size);
                const float y =
                    (static_cast<float>(py) + row / kSamples) / static_cast<float>(size);
                Paint(sample, x, y, stroke);
                sum.r += sample.r * sample.a;
                sum.g += sample.g * sample.a;
                sum.b += sample.b * sample.a;
                sum.a += sample.a;
            }
            Pixel& out = pixels[static_cast<std::size_t>(py) * size + px];
            out.a = sum.a / (kSamples * kSamples);
            if (sum.a > 0) {
                out.r = sum.r / sum.a;
                out.g = sum.g / sum.a;
                out.b = sum.b / sum.a;
            }
        }
    }
    return pixels;
}

void PutU16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

std::uint8_t Channel(float v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255));
}

// One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, then the 1-bit transparency mask.
std::vector<std::uint8_t> IconImage(int size) {
    const std::vector<Pixel> pixels = Draw(size);
    const std::uint32_t maskStride = static_cast<std::uint32_t>((size + 31) / 32 * 4);
    std::vector<std::uint8_t> out;
    PutU32(out, 40);
    PutU32(out, static_cast<std::uint32_t>(size));
    PutU32(out, static_cast<std::uint32_t>(size * 2));
    PutU16(out, 1);
    PutU16(out, 32);
    PutU32(out, 0);
    PutU32(out, static_cast<std::uint32_t>(size * size * 4) + maskStride * size);
    for (int i = 0; i < 4; ++i) {
        PutU32(out, 0);
    }
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const Pixel& p = pixels[static_cast<std::size_t>(y) * size + x];
            out.push_back(Channel(p.b));
            out.push_back(Channel(p.g));
            out.push_back(Channel(p.r));
            out.push_back(Channel(p.a));
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskStride, 0);
        for (int x = 0; x < size; ++x) {
            if (Channel(pixels[static_cast<std::size_t>(y) * size + x].a) == 0) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: nerith-gen-icon OUTPUT.ico\n");
        return 2;
    }
    const int sizes[] = {16, 32, 48};
    std::vector<std::vector<std::uint8_t>> images;
    for (int size : sizes) {
        images.push_back(IconImage(size));
    }
    std::vector<std::uint8_t> file;
    PutU16(file, 0);
    PutU16(file, 1);
    PutU16(file, static_cast<unsigned>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<std::uint8_t>(sizes[i]));
        file.push_back(static_cast<std::uint8_t>(sizes[i]));
        file.push_back(0);
        file.push_back(0);
        PutU16(file, 1);
        PutU16(file, 32);
        PutU32(file, static_cast<std::uint32_t>(images[i].size()));
        PutU32(file, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const auto& image : images) {
        file.insert(file.end(), image.begin(), image.end());
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::fprintf(stderr, "nerith-gen-icon: cannot write %s\n", argv[1]);
        return 1;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return (std::fclose(out) == 0 && written) ? 0 : 1;
}
