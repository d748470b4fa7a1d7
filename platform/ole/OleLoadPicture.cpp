#include "DecodedPictures.h"
#include "JpegDecoder.h"
#include "Picture.h"
#include "platform/internal/dib.h"
#include "platform/kernel32.h"
#include "platform/ole2.h"

#include <new>
#include <utility>
#include <vector>

namespace {

// Reads `size` bytes, or everything left when size is 0.
HRESULT ReadStream(IStream* stream, LONG size, std::vector<BYTE>& bytes) {
    if (size < 0) {
        return E_INVALIDARG;
    }
    if (size == 0) {
        STATSTG stat{};
        LARGE_INTEGER zero{};
        ULARGE_INTEGER here{};
        if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) ||
            FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &here)) ||
            stat.cbSize.QuadPart < here.QuadPart ||
            stat.cbSize.QuadPart - here.QuadPart > 0x7FFFFFFF) {
            return E_FAIL;
        }
        size = static_cast<LONG>(stat.cbSize.QuadPart - here.QuadPart);
    }
    bytes.resize(static_cast<std::size_t>(size));
    ULONG read = 0;
    const HRESULT hr = stream->Read(bytes.data(), static_cast<ULONG>(size), &read);
    if (FAILED(hr) || read != static_cast<ULONG>(size)) {
        return CTL_E_INVALIDPICTURE;
    }
    return S_OK;
}

// A picture too large to hold is out of memory, as on Windows; anything else that does not
// decode is no picture.
HRESULT DecodeBmp(const BYTE* data, std::size_t size, HBITMAP* bitmap) {
    *bitmap = platform::gdi::CreateBitmapFromDib(data, size);
    if (*bitmap) {
        return S_OK;
    }
    return GetLastError() == ERROR_NOT_ENOUGH_MEMORY ? E_OUTOFMEMORY : CTL_E_INVALIDPICTURE;
}

HRESULT DecodePicture(const std::vector<BYTE>& bytes, HBITMAP* bitmap) {
    const BYTE* data = bytes.data();
    std::size_t size = bytes.size();
    if (platform::gdi::SkipBmpFileHeader(data, size)) {
        return DecodeBmp(data, size, bitmap);
    }
    switch (platform::ole::DecodeJpeg(data, size, bitmap)) {
    case platform::ole::JpegStatus::Decoded:
        return S_OK;
    case platform::ole::JpegStatus::TooLarge:
        return E_OUTOFMEMORY;
    case platform::ole::JpegStatus::Invalid:
        break;
    }
    return CTL_E_INVALIDPICTURE;
}

} // namespace

HRESULT WINAPI OleLoadPicture(LPSTREAM lpstream, LONG lSize, BOOL, REFIID riid, LPVOID* lplpvObj) {
    if (!lplpvObj) {
        return E_POINTER;
    }
    *lplpvObj = nullptr;
    if (!lpstream) {
        return E_INVALIDARG;
    }
    if (!IsEqualIID(riid, IID_IPicture) && !IsEqualIID(riid, IID_IUnknown)) {
        return E_NOINTERFACE;
    }
    try {
        std::vector<BYTE> bytes;
        if (const HRESULT hr = ReadStream(lpstream, lSize, bytes); FAILED(hr)) {
            return hr;
        }
        auto& decoded = platform::ole::DecodedPictures::Process();
        HBITMAP bitmap = decoded.Share(bytes);
        if (!bitmap) {
            if (const HRESULT hr = DecodePicture(bytes, &bitmap); FAILED(hr)) {
                return hr;
            }
            decoded.Remember(std::move(bytes), bitmap);
        }
        IPicture* picture = platform::ole::CreateBitmapPicture(bitmap);
        if (!picture) {
            DeleteObject(bitmap);
            return E_OUTOFMEMORY;
        }
        *lplpvObj = picture;
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
