#include "SkinPixels.h"

#include "SkinLibrary.h"
#include "SkinPictures.h"

namespace nerith::e2e {

testing::Image SkinPicture(const char* id) {
    CBitmap picture;
    SIZE size{};
    LoadSkinJpeg(id, &picture, &size);
    return demo::ReadPixels(picture);
}

testing::Image SkinMask() {
    CBitmap mask;
    SIZE size{};
    LoadSkinBitmap("1021", &mask, &size);
    return demo::ReadPixels(mask);
}

bool MaskKeeps(const testing::Image& mask, int x, int y) {
    return mask.At(x, y) != 0x00FFFFFF;
}

} // namespace nerith::e2e
