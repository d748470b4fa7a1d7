// The built skin library: every picture present with its type and size, and a mask that fits
// every button and the progress bar.
#include "platform/crt.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

HMODULE SkinLibrary() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    char drive[_MAX_DRIVE] = "", dir[_MAX_DIR] = "";
    _splitpath(path, drive, dir, nullptr, nullptr);
    return LoadLibraryA((std::string(drive) + dir + "skins\\ridozuveza.dll").c_str());
}

SIZE PictureSize(HMODULE module, int id) {
    HRSRC info = FindResourceA(module, MAKEINTRESOURCE(id), "jpgs");
    if (!info) {
        return SIZE{0, 0};
    }
    const DWORD size = SizeofResource(module, info);
    const void* bytes = LockResource(LoadResource(module, info));
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(block), bytes, size);
    GlobalUnlock(block);
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(block, TRUE, &stream);
    IPicture* picture = nullptr;
    const HRESULT hr = OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                      reinterpret_cast<LPVOID*>(&picture));
    stream->Release();
    if (FAILED(hr)) {
        return SIZE{-1, -1};
    }
    OLE_HANDLE handle = 0;
    picture->get_Handle(&handle);
    BITMAP bm{};
    GetObjectA(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), sizeof(bm), &bm);
    picture->Release();
    return SIZE{bm.bmWidth, bm.bmHeight};
}

const int kPictures[] = {1004, 1005, 1006, 1007, 1008, 1009, 1015, 1016,
                         1018, 1025, 1026, 1027, 1028, 1029, 1030};

TEST(SkinLibraryFile, HoldsEveryPictureAsAJpegOfTheMasksSize) {
    HMODULE module = SkinLibrary();
    ASSERT_NE(module, nullptr);
    for (int id : kPictures) {
        const SIZE size = PictureSize(module, id);
        EXPECT_EQ(size.cx, 380) << id;
        EXPECT_EQ(size.cy, 280) << id;
        EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCE(id), RT_BITMAP), nullptr) << id;
    }
    EXPECT_EQ(FindResourceA(module, MAKEINTRESOURCE(1021), "jpgs"), nullptr);
    HBITMAP mask = LoadBitmapA(module, MAKEINTRESOURCE(1021));
    ASSERT_NE(mask, nullptr);
    BITMAP bm{};
    GetObjectA(mask, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, 380);
    EXPECT_EQ(bm.bmHeight, 280);
    DeleteObject(mask);
}

// Layout rectangles are client coordinates; the mask is in window coordinates, one border
// pixel further right and down.
TEST(SkinLibraryFile, MaskIsWhiteOutsideAndSolidUnderEveryControl) {
    HMODULE module = SkinLibrary();
    HBITMAP mask = LoadBitmapA(module, MAKEINTRESOURCE(1021));
    ASSERT_NE(mask, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask);
    const RECT controls[] = {
        {24, 90, 356, 134},                         // progress bar
        {187, 231, 217, 248}, {257, 231, 301, 248}, // main window
        {216, 228, 234, 243}, {259, 228, 304, 243}, // prompt
        {224, 229, 249, 244},                       // notices
    };
    for (const RECT& r : controls) {
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                ASSERT_NE(GetPixel(dc, x + 1, y + 1), RGB(255, 255, 255))
                    << "client " << x << "," << y;
            }
        }
    }
    int white = 0;
    for (int y = 0; y < 280; ++y) {
        for (int x = 0; x < 380; ++x) {
            const COLORREF p = GetPixel(dc, x, y);
            const bool edge = x < 2 || y < 2 || x >= 378 || y >= 278;
            if (edge) {
                ASSERT_EQ(p, RGB(255, 255, 255))
                    << "the border ring stays outside: " << x << "," << y;
            }
            // Inside is clearly dark: nothing that could pass for white.
            ASSERT_TRUE(p == RGB(255, 255, 255) ||
                        (GetRValue(p) < 200 && GetGValue(p) < 200 && GetBValue(p) < 200));
            white += p == RGB(255, 255, 255);
        }
    }
    EXPECT_GT(white, 2 * (380 + 280) * 2); // more than the ring: corners and the cut beside the tab
    EXPECT_EQ(GetPixel(dc, 300, 8), RGB(255, 255, 255)); // beside the title tab
    EXPECT_NE(GetPixel(dc, 100, 8), RGB(255, 255, 255)); // the tab itself
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(mask);
}

} // namespace
