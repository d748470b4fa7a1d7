#include "Picture.h"

#include <atomic>
#include <mutex>
#include <new>
#include <unordered_set>

namespace platform::ole {

namespace {

std::mutex& LiveMutex() {
    static std::mutex mutex;
    return mutex;
}

std::unordered_set<IPicture*>& LivePictures() {
    static auto* live = new std::unordered_set<IPicture*>; // outlives every static destructor
    return *live;
}

constexpr LONG HiMetricFromPixels(LONG pixels) {
    return static_cast<LONG>((pixels * 2540LL + 48) / 96);
}

class BitmapPicture final : public IPicture {
public:
    explicit BitmapPicture(HBITMAP bitmap) : bitmap_(bitmap) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) {
            return E_POINTER;
        }
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPicture)) {
            *ppv = static_cast<IPicture*>(this);
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
            {
                std::lock_guard lock(LiveMutex());
                LivePictures().erase(this);
            }
            DeleteObject(bitmap_);
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE get_Handle(OLE_HANDLE* pHandle) override {
        if (!pHandle) {
            return E_POINTER;
        }
        *pHandle = static_cast<OLE_HANDLE>(reinterpret_cast<UINT_PTR>(bitmap_));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_hPal(OLE_HANDLE* phPal) override {
        if (!phPal) {
            return E_POINTER;
        }
        *phPal = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Type(SHORT* pType) override {
        if (!pType) {
            return E_POINTER;
        }
        *pType = PICTYPE_BITMAP;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Width(OLE_XSIZE_HIMETRIC* pWidth) override {
        return Dimension(pWidth, true);
    }
    HRESULT STDMETHODCALLTYPE get_Height(OLE_YSIZE_HIMETRIC* pHeight) override {
        return Dimension(pHeight, false);
    }
    HRESULT STDMETHODCALLTYPE Render(HDC, LONG, LONG, LONG, LONG, OLE_XPOS_HIMETRIC,
                                     OLE_YPOS_HIMETRIC, OLE_XSIZE_HIMETRIC, OLE_YSIZE_HIMETRIC,
                                     LPCRECT) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE set_hPal(OLE_HANDLE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_CurDC(HDC* phDC) override {
        if (!phDC) {
            return E_POINTER;
        }
        *phDC = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SelectPicture(HDC, HDC*, OLE_HANDLE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_KeepOriginalFormat(BOOL* pKeep) override {
        if (!pKeep) {
            return E_POINTER;
        }
        *pKeep = FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_KeepOriginalFormat(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PictureChanged() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SaveAsFile(LPSTREAM, BOOL, LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Attributes(DWORD* pDwAttr) override {
        if (!pDwAttr) {
            return E_POINTER;
        }
        *pDwAttr = 0;
        return S_OK;
    }

private:
    ~BitmapPicture() = default;

    HRESULT Dimension(LONG* out, bool width) {
        if (!out) {
            return E_POINTER;
        }
        BITMAP bm{};
        if (!GetObjectA(bitmap_, sizeof(bm), &bm)) {
            return E_FAIL;
        }
        *out = HiMetricFromPixels(width ? bm.bmWidth : bm.bmHeight);
        return S_OK;
    }

    HBITMAP bitmap_;
    std::atomic<ULONG> references_{1};
};

} // namespace

IPicture* CreateBitmapPicture(HBITMAP bitmap) {
    auto* picture = new (std::nothrow) BitmapPicture(bitmap);
    if (!picture) {
        return nullptr;
    }
    try {
        std::lock_guard lock(LiveMutex());
        LivePictures().insert(picture);
    } catch (const std::bad_alloc&) {
        picture->Release();
        return nullptr;
    }
    return picture;
}

} // namespace platform::ole
