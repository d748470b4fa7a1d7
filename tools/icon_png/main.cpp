// nerith-icon-png ICON.ico FOLDER NAME: writes each image of the application icon as
// FOLDER/<W>x<H>/apps/NAME.png, the layout of a hicolor icon theme, for the desktop entry.
#include "IconFile.h"
#include "PngFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "nerith-icon-png: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: nerith-icon-png ICON.ico FOLDER NAME\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        return Fail(std::string("cannot open ") + argv[1]);
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    std::string error;
    const auto images = nerith::icon::ParseIcon(bytes, &error);
    if (!images) {
        return Fail(std::string(argv[1]) + ": " + error);
    }
    for (const auto& image : *images) {
        const std::string size = std::to_string(image.width) + "x" + std::to_string(image.height);
        const std::filesystem::path folder = std::filesystem::path(argv[2]) / size / "apps";
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        if (ec) {
            return Fail("cannot create " + folder.string() + ": " + ec.message());
        }
        if (!nerith::icon::WritePngFile((folder / (std::string(argv[3]) + ".png")).string(), image,
                                        &error)) {
            return Fail(error);
        }
    }
    return 0;
}
