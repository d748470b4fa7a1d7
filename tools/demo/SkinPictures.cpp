#include "SkinPictures.h"

#include "platform/gdi32.h"
#include "platform/kernel32.h"
#include "platform/ole2.h"

#include <cstring>

namespace nerith::demo {

namespace {

// The library stays loaded only while one picture is read from it.
class SkinModule {
public:
    explicit SkinModule(const std::string& path) : module_(::LoadLibraryA(path.c_str())) {}
    ~SkinModule() {
        if (module_) {
            ::FreeLibrary(module_);
        }
    }
    SkinModule(const SkinModule&) = delete;
    SkinModule& operator=(const SkinModule&) = delete;
    HMODULE get() const { return module_; }

private:
    HMODULE module_;
};

std::uint32_t ToRgb(COLORREF colour) {
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

IStream* StreamOver(LPCVOID data, DWORD size) {
    const HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    LPVOID bytes = block ? ::GlobalLock(block) : nullptr;
    if (!bytes) {
        if (block) {
            ::GlobalFree(block);
        }
        return nullptr;
    }
    std::memcpy(bytes, data, size);
    ::GlobalUnlock(block);
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(block, TRUE, &stream))) {
        ::GlobalFree(block);
        return nullptr;
    }
    return stream;
}

testing::Image DecodeJpeg(LPCVOID data, DWORD size) {
    IStream* stream = StreamOver(data, size);
    if (!stream) {
        return {};
    }
    IPicture* picture = nullptr;
    const HRESULT hr = ::OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                        reinterpret_cast<LPVOID*>(&picture));
    stream->Release();
    OLE_HANDLE handle = 0;
    testing::Image image;
    if (SUCCEEDED(hr) && picture && SUCCEEDED(picture->get_Handle(&handle))) {
        image = ReadPixels(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)));
    }
    if (picture) {
        picture->Release();
    }
    return image;
}

std::string Describe(const std::string& dllPath, int id) {
    return "picture " + std::to_string(id) + " of " + dllPath;
}

} // namespace

testing::Image ReadPixels(HBITMAP bitmap) {
    BITMAP info{};
    if (::GetObjectA(bitmap, sizeof(info), &info) == 0) {
        return {};
    }
    testing::Image image(info.bmWidth, info.bmHeight);
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = ::SelectObject(dc, bitmap);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            image.Set(x, y, ToRgb(::GetPixel(dc, x, y)));
        }
    }
    ::SelectObject(dc, previous);
    ::DeleteDC(dc);
    return image;
}

testing::Image LoadSkinJpegPicture(const std::string& dllPath, int id, std::string* error) {
    const SkinModule skin(dllPath);
    const HRSRC found =
        skin.get() ? ::FindResourceA(skin.get(), MAKEINTRESOURCE(id), "jpgs") : nullptr;
    const DWORD size = found ? ::SizeofResource(skin.get(), found) : 0;
    const HGLOBAL loaded = found ? ::LoadResource(skin.get(), found) : nullptr;
    const LPVOID data = loaded ? ::LockResource(loaded) : nullptr;
    testing::Image image = data && size ? DecodeJpeg(data, size) : testing::Image();
    if (image.Empty() && error) {
        *error = "cannot decode " + Describe(dllPath, id);
    }
    return image;
}

testing::Image LoadSkinBitmapPicture(const std::string& dllPath, int id, std::string* error) {
    const SkinModule skin(dllPath);
    const HBITMAP bitmap = skin.get() ? ::LoadBitmapA(skin.get(), MAKEINTRESOURCE(id)) : nullptr;
    testing::Image image = bitmap ? ReadPixels(bitmap) : testing::Image();
    if (bitmap) {
        ::DeleteObject(bitmap);
    }
    if (image.Empty() && error) {
        *error = "cannot load " + Describe(dllPath, id);
    }
    return image;
}

} // namespace nerith::demo
