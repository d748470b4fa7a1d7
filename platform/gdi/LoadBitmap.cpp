#include "platform/gdi32.h"
#include "platform/internal/dib.h"
#include "platform/kernel32.h"

HBITMAP WINAPI LoadBitmapA(HINSTANCE hInstance, LPCSTR lpBitmapName) {
    HRSRC info = FindResourceA(hInstance, lpBitmapName, RT_BITMAP);
    if (!info) {
        return nullptr;
    }
    const DWORD size = SizeofResource(hInstance, info);
    HGLOBAL data = LoadResource(hInstance, info);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    return platform::gdi::CreateBitmapFromDib(bytes, size);
}
