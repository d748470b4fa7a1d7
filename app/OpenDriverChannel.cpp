#include "DriverChannel.h"

BOOL OpenDriverChannel() {
    const HANDLE hDriver = CreateFileA("\\\\.\\korvel", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (hDriver == INVALID_HANDLE_VALUE) {
        g_hDriver.store(nullptr, std::memory_order_relaxed);
        return FALSE;
    }
    g_hDriver.store(hDriver, std::memory_order_relaxed);
    // The driver takes the handle value as a 4-byte word, as a 32-bit process would pass it.
    DWORD dwSemaphore = static_cast<DWORD>(
        reinterpret_cast<UINT_PTR>(g_hEventSemaphore.load(std::memory_order_relaxed)));
    DWORD dwReturned = 0;
    if (!DeviceIoControl(hDriver, IOCTL_REGISTER_SEMAPHORE, &dwSemaphore, 4, nullptr, 0,
                         &dwReturned, nullptr)) {
        CloseHandle(hDriver);
        g_hDriver.store(nullptr, std::memory_order_relaxed);
        return FALSE;
    }
    return TRUE;
}
