#include "platform/kernel32.h"
#include "platform/ole2.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>

namespace {

// A stream over a global memory block. The block is locked only while bytes move, so its
// owner may still reallocate it between calls, as on Windows.
class HGlobalStream final : public IStream {
public:
    HGlobalStream(HGLOBAL block, bool deleteOnRelease)
        : block_(block), deleteOnRelease_(deleteOnRelease) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) {
            return E_POINTER;
        }
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISequentialStream) ||
            IsEqualIID(riid, IID_IStream)) {
            *ppv = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            if (deleteOnRelease_) {
                GlobalFree(block_);
            }
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override {
        if (!pv && cb > 0) {
            return E_POINTER;
        }
        const ULONGLONG size = GlobalSize(block_);
        const ULONG n =
            position_ >= size ? 0 : static_cast<ULONG>(std::min<ULONGLONG>(cb, size - position_));
        if (n > 0) {
            const void* bytes = GlobalLock(block_);
            if (!bytes) {
                return E_FAIL;
            }
            std::memcpy(pv, static_cast<const BYTE*>(bytes) + position_, n);
            GlobalUnlock(block_);
            position_ += n;
        }
        if (pcbRead) {
            *pcbRead = n;
        }
        // Windows reports a short read at the end as S_OK; the count tells the caller.
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Write(const void* pv, ULONG cb, ULONG* pcbWritten) override {
        if (pcbWritten) {
            *pcbWritten = 0;
        }
        if (cb == 0) {
            return S_OK;
        }
        if (!pv) {
            return E_POINTER;
        }
        const ULONGLONG end = position_ + cb;
        if (end > GlobalSize(block_) && !Grow(end)) {
            return STG_E_MEDIUMFULL;
        }
        void* bytes = GlobalLock(block_);
        if (!bytes) {
            return E_FAIL;
        }
        std::memcpy(static_cast<BYTE*>(bytes) + position_, pv, cb);
        GlobalUnlock(block_);
        position_ = end;
        if (pcbWritten) {
            *pcbWritten = cb;
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                   ULARGE_INTEGER* newPosition) override {
        LONGLONG base = 0;
        switch (origin) {
        case STREAM_SEEK_SET:
            break;
        case STREAM_SEEK_CUR:
            base = static_cast<LONGLONG>(position_);
            break;
        case STREAM_SEEK_END:
            base = static_cast<LONGLONG>(GlobalSize(block_));
            break;
        default:
            return STG_E_INVALIDFUNCTION;
        }
        if ((move.QuadPart < 0 && base + move.QuadPart < 0) ||
            (move.QuadPart > 0 && base > INT64_MAX - move.QuadPart)) {
            return STG_E_INVALIDFUNCTION;
        }
        position_ = static_cast<ULONGLONG>(base + move.QuadPart);
        if (newPosition) {
            newPosition->QuadPart = position_;
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER newSize) override {
        return Grow(newSize.QuadPart) ? S_OK : STG_E_MEDIUMFULL;
    }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                     ULARGE_INTEGER*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }

    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
        if (!stat) {
            return E_POINTER;
        }
        std::memset(stat, 0, sizeof(*stat));
        stat->type = STGTY_STREAM;
        stat->cbSize.QuadPart = GlobalSize(block_);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream** ppstm) override {
        if (ppstm) {
            *ppstm = nullptr;
        }
        return E_NOTIMPL;
    }

private:
    ~HGlobalStream() = default;

    bool Grow(ULONGLONG size) {
        if (size > 0x7FFFFFFFu) {
            return false;
        }
        HGLOBAL grown = GlobalReAlloc(block_, static_cast<SIZE_T>(size), GMEM_MOVEABLE);
        if (!grown) {
            return false;
        }
        block_ = grown;
        return true;
    }

    HGLOBAL block_;
    bool deleteOnRelease_;
    ULONGLONG position_ = 0;
    std::atomic<ULONG> references_{1};
};

} // namespace

HRESULT WINAPI CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, LPSTREAM* ppstm) {
    if (!ppstm) {
        return E_INVALIDARG;
    }
    *ppstm = nullptr;
    HGLOBAL block = hGlobal ? hGlobal : GlobalAlloc(GMEM_MOVEABLE, 0);
    if (!block) {
        return E_OUTOFMEMORY;
    }
    auto* stream = new (std::nothrow) HGlobalStream(block, fDeleteOnRelease != FALSE);
    if (!stream) {
        if (!hGlobal) {
            GlobalFree(block);
        }
        return E_OUTOFMEMORY;
    }
    *ppstm = stream;
    return S_OK;
}
