#include "display/headless/HeadlessScreen.h"

#include <cstdio>
#include <memory>

namespace platform::display {

bool WritePpm(const Image& image, const std::string& path) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                               &std::fclose);
    if (!file) {
        return false;
    }
    std::fprintf(file.get(), "P6\n%d %d\n255\n", image.width, image.height);
    for (const std::uint32_t pixel : image.pixels) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(pixel >> 16),
                                      static_cast<unsigned char>(pixel >> 8),
                                      static_cast<unsigned char>(pixel)};
        if (std::fwrite(rgb, 1, 3, file.get()) != 3) {
            return false;
        }
    }
    return true;
}

} // namespace platform::display
