#include "IconFile.h"
#include "PngFile.h"

#include "DevsimProcess.h"

#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace nerith::icon {
namespace {

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

const std::uint8_t* Pixel(const IconImage& image, int x, int y) {
    return &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
}

TEST(IconFile, TheApplicationIconHasItsThreeSizesUprightWithTransparentCorners) {
    std::string error;
    const auto images = ParseIcon(ReadBytes(NERITH_ICON), &error);
    ASSERT_TRUE(images) << error;
    ASSERT_EQ(images->size(), 3u);
    const int sizes[] = {16, 32, 48};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ((*images)[i].width, sizes[i]);
        EXPECT_EQ((*images)[i].height, sizes[i]);
    }
    const IconImage& big = (*images)[2];
    EXPECT_EQ(Pixel(big, 0, 0)[3], 0) << "rounded tile: the corner is transparent";
    EXPECT_EQ(Pixel(big, 47, 47)[3], 0);
    EXPECT_EQ(Pixel(big, 24, 24)[3], 255);
    // The wheel sits in the upper part of the device, the body below it.
    const std::uint8_t* wheel = Pixel(big, 24, 16);
    const std::uint8_t* body = Pixel(big, 20, 38);
    EXPECT_GT(wheel[1], 200) << "green wheel on top";
    EXPECT_LT(wheel[0], 60);
    EXPECT_LT(body[1], 120) << "dark body below";
}

std::vector<std::uint8_t> OneEntryIcon(std::uint8_t size, std::uint16_t bpp, std::uint32_t offset,
                                       std::uint32_t length) {
    std::vector<std::uint8_t> b = {
        0, 0, 1, 0, 1, 0, size, size, 0, 0, 1, 0, static_cast<std::uint8_t>(bpp), 0};
    for (std::uint32_t v : {length, offset}) {
        for (int i = 0; i < 4; ++i) {
            b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        }
    }
    std::vector<std::uint8_t> info(40, 0);
    info[0] = 40;
    info[4] = size;
    info[8] = static_cast<std::uint8_t>(size * 2);
    info[12] = 1;
    info[14] = static_cast<std::uint8_t>(bpp);
    b.insert(b.end(), info.begin(), info.end());
    b.resize(b.size() + static_cast<std::size_t>(size) * size * 4 +
                 4 * static_cast<std::size_t>(size),
             0x7F);
    return b;
}

TEST(IconFile, BrokenFilesAreRefusedWithAReason) {
    const std::uint32_t good = 40 + 2 * 2 * 4 + 8;
    std::string goodError;
    ASSERT_TRUE(ParseIcon(OneEntryIcon(2, 32, 22, good), &goodError)) << goodError;
    const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
        {"empty", {}},
        {"header only", {0, 0, 1, 0}},
        {"cursor, not icon", {0, 0, 2, 0, 1, 0}},
        {"no entries", {0, 0, 1, 0, 0, 0}},
        {"directory cut short", {0, 0, 1, 0, 2, 0, 16, 16}},
        {"image past the end", OneEntryIcon(2, 32, 22, 5000)},
        {"offset past the end", OneEntryIcon(2, 32, 0xFFFFFFF0u, good)},
        {"image shorter than its pixels", OneEntryIcon(2, 32, 22, 41)},
        {"8-bit palette image", OneEntryIcon(2, 8, 22, good)},
    };
    for (const auto& [name, bytes] : cases) {
        std::string error;
        EXPECT_FALSE(ParseIcon(bytes, &error)) << name;
        EXPECT_FALSE(error.empty()) << name;
    }
}

TEST(PngFile, WritesPixelsThatReadBackTheSame) {
    const test::TempFolder folder;
    IconImage image{3, 2, {}};
    for (int i = 0; i < 3 * 2 * 4; ++i) {
        image.rgba.push_back(static_cast<std::uint8_t>(i * 11));
    }
    std::string error;
    ASSERT_TRUE(WritePngFile(folder.File("a.png"), image, &error)) << error;

    png_image read{};
    read.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&read, folder.File("a.png").c_str()));
    read.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(read));
    ASSERT_TRUE(png_image_finish_read(&read, nullptr, pixels.data(), 0, nullptr));
    EXPECT_EQ(read.width, 3u);
    EXPECT_EQ(read.height, 2u);
    EXPECT_EQ(pixels, image.rgba);
}

TEST(PngFile, AMissingFolderIsAnErrorAndLeavesNothing) {
    const test::TempFolder folder;
    std::string error;
    EXPECT_FALSE(WritePngFile(folder.File("no/a.png"), IconImage{1, 1, {1, 2, 3, 4}}, &error));
    EXPECT_NE(error.find("no/a.png"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.File("no/a.png")));
}

} // namespace
} // namespace nerith::icon
