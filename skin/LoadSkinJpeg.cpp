#include "SkinLibrary.h"
#include "SkinLoadSupport.h"

#include <cstdlib>
#include <cstring>

namespace {

// Copies the resource into a movable block that the stream frees when released.
IStream* StreamOverCopy(LPCVOID pData, DWORD dwSize) {
    HGLOBAL hBuffer = GlobalAlloc(GMEM_MOVEABLE, dwSize);
    if (!hBuffer) {
        return nullptr;
    }
    LPVOID pBuffer = GlobalLock(hBuffer);
    if (!pBuffer) {
        GlobalFree(hBuffer);
        return nullptr;
    }
    std::memcpy(pBuffer, pData, dwSize);
    GlobalUnlock(hBuffer);
    IStream* pStream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(hBuffer, TRUE, &pStream))) {
        GlobalFree(hBuffer);
        return nullptr;
    }
    return pStream;
}

} // namespace

void LoadSkinJpeg(LPCTSTR lpszResourceName, CBitmap* pBitmap, SIZE* pSize) {
    if (!lpszResourceName || !pBitmap || !pSize) {
        UseSkinPlaceholder(lpszResourceName, pBitmap, pSize);
        return;
    }
    HMODULE hSkin = LoadSkinLibrary();
    const int nId = atoi(lpszResourceName);
    HRSRC hResource = hSkin ? FindResourceA(hSkin, MAKEINTRESOURCE(nId), "jpgs") : nullptr;
    const DWORD dwSize = hResource ? SizeofResource(hSkin, hResource) : 0;
    HGLOBAL hData = hResource ? LoadResource(hSkin, hResource) : nullptr;
    LPVOID pData = hData ? LockResource(hData) : nullptr;
    IStream* pStream = pData && dwSize ? StreamOverCopy(pData, dwSize) : nullptr;
    if (!pStream) {
        UseSkinPlaceholder(lpszResourceName, pBitmap, pSize);
        return;
    }

    IPicture* pPicture = nullptr;
    const HRESULT hr = OleLoadPicture(pStream, static_cast<LONG>(dwSize), FALSE, IID_IPicture,
                                      reinterpret_cast<LPVOID*>(&pPicture));
    pStream->Release();
    OLE_HANDLE hPicture = 0;
    if (FAILED(hr) || !pPicture || FAILED(pPicture->get_Handle(&hPicture))) {
        UseSkinPlaceholder(lpszResourceName, pBitmap, pSize);
        return;
    }

    // The picture keeps owning the handle and is never released: releasing it would delete
    // the bitmap the target now holds.
    pBitmap->DeleteObject();
    pBitmap->Attach(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(hPicture)));
    ReportSkinSize(pBitmap, pSize);
}
