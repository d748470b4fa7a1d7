// Picture bytes through a stream and OleLoadPicture, as the skin loader feeds them: JPEG or
// BMP decoded, anything else refused.
#include "platform/kernel32.h"
#include "platform/ole2.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) {
        return 0;
    }
    if (size > 0) {
        std::memcpy(GlobalLock(block), data, size);
        GlobalUnlock(block);
    }
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
        GlobalFree(block);
        return 0;
    }
    IPicture* picture = nullptr;
    if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                 reinterpret_cast<LPVOID*>(&picture)))) {
        OLE_HANDLE handle = 0;
        picture->get_Handle(&handle);
        BITMAP bm{};
        GetObjectA(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), sizeof(bm), &bm);
        picture->Release();
    }
    stream->Release();
    return 0;
}
