// Build-time tool: draws every picture of the skin library and its shape mask.
//   nerith-gen-skin OUTPUT_DIR
// writes OUTPUT_DIR/<id>.jpg for each picture and OUTPUT_DIR/1021.bmp for the mask.
#include "ImageFiles.h"
#include "Screens.h"

#include <cstdio>
#include <string>

using namespace gen_skin;

namespace {

struct PictureSet {
    Screen screen;
    int normal; // background, normal and disabled
    int hover;
    int pressed;
};

bool WriteMask(const std::string& dir) {
    std::vector<std::uint32_t> mask(static_cast<std::size_t>(kPictureWidth) * kPictureHeight);
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            mask[static_cast<std::size_t>(y) * kPictureWidth + x] =
                MaskInside(x, y) ? 0x00000000u : 0x00FFFFFFu;
        }
    }
    return WriteBmp24(dir + "/1021.bmp", mask, kPictureWidth, kPictureHeight);
}

bool WriteSet(const std::string& dir, const PictureSet& set, TextPainter& text) {
    for (const Rect& r : RequiredRects(set.screen)) {
        if (!InsideMask(r)) {
            std::fprintf(stderr,
                         "nerith-gen-skin: %d,%d-%d,%d of picture %d lies outside the outline\n",
                         r.left, r.top, r.right, r.bottom, set.normal);
            return false;
        }
    }
    const std::pair<ButtonState, int> pictures[] = {{ButtonState::Normal, set.normal},
                                                    {ButtonState::Hover, set.hover},
                                                    {ButtonState::Pressed, set.pressed}};
    for (const auto& [state, id] : pictures) {
        const Canvas canvas = PaintScreen(set.screen, state, text);
        const std::string path = dir + "/" + std::to_string(id) + ".jpg";
        if (!WriteJpeg(path, canvas.Pixels(), canvas.Width(), canvas.Height())) {
            std::fprintf(stderr, "nerith-gen-skin: cannot write %s\n", path.c_str());
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: nerith-gen-skin OUTPUT_DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    TextPainter text;
    if (!text.Ready()) {
        std::fprintf(stderr, "nerith-gen-skin: no DejaVu Sans face found (fonts-dejavu-core)\n");
        return 1;
    }
    const PictureSet sets[] = {
        {MainScreen(), 1015, 1018, 1016},     {DowngradePrompt(), 1026, 1027, 1025},
        {SuccessNotice(), 1005, 1006, 1004},  {FailureNotice(), 1008, 1009, 1007},
        {UpToDateNotice(), 1030, 1029, 1028},
    };
    for (const PictureSet& set : sets) {
        if (!WriteSet(dir, set, text)) {
            return 1;
        }
    }
    if (!WriteMask(dir)) {
        std::fprintf(stderr, "nerith-gen-skin: cannot write %s/1021.bmp\n", dir.c_str());
        return 1;
    }
    return 0;
}
