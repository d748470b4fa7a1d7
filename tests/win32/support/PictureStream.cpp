#include "PictureStream.h"

#include "platform/kernel32.h"

#include <cstring>

namespace win32test {

HGLOBAL BlockWith(const std::vector<std::uint8_t>& bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (block && !bytes.empty()) {
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
    }
    return block;
}

HRESULT LoadPicture(const std::vector<std::uint8_t>& bytes, IPicture** picture) {
    IStream* stream = nullptr;
    HRESULT hr = CreateStreamOnHGlobal(BlockWith(bytes), TRUE, &stream);
    if (FAILED(hr)) {
        return hr;
    }
    hr = OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                        reinterpret_cast<LPVOID*>(picture));
    stream->Release();
    return hr;
}

} // namespace win32test
