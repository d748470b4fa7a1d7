#include "DriverChannel.h"

#include <cstring>

std::atomic<HANDLE> g_hDriver{nullptr};
std::atomic<HANDLE> g_hEventSemaphore{nullptr};
std::atomic<BOOL> g_bStopEventThread{FALSE};
std::atomic<DWORD> g_dwDeviceEvent{0};

void StartDriverChannel(LPVOID pMainWnd, HANDLE* phEventThread, DWORD* pdwEventThreadId) {
    g_hEventSemaphore.store(CreateSemaphoreA(nullptr, 0, 100, nullptr), std::memory_order_relaxed);
    *phEventThread = CreateThread(nullptr, 4096, DeviceEventThread, pMainWnd, 0, pdwEventThreadId);
    OpenDriverChannel();
}

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

// A wait that fails (no semaphore was created) ends the thread instead of spinning on it.
DWORD WINAPI DeviceEventThread(LPVOID) {
    DWORD dwEvent = 0;
    if (g_bStopEventThread.load(std::memory_order_relaxed)) {
        return 0;
    }
    for (;;) {
        const HANDLE hSemaphore = g_hEventSemaphore.load(std::memory_order_relaxed);
        if (WaitForSingleObject(hSemaphore, INFINITE) != WAIT_OBJECT_0) {
            return 0;
        }
        const HANDLE hDriver = g_hDriver.load(std::memory_order_relaxed);
        DWORD dwReturned = 0;
        if (hDriver && DeviceIoControl(hDriver, IOCTL_GET_EVENT, &dwEvent, 4, &dwEvent, 4,
                                       &dwReturned, nullptr)) {
            g_dwDeviceEvent.store(dwEvent, std::memory_order_relaxed);
        }
        if (g_bStopEventThread.load(std::memory_order_relaxed)) {
            return 0;
        }
    }
}

// The first reading is byte 0 x 100 + byte 1; only a 0 there asks again, and the repeat is
// read as a little-endian word.
UINT QueryFirmwareVersion() {
    const HANDLE hDriver = g_hDriver.load(std::memory_order_relaxed);
    if (!hDriver) {
        return 0;
    }
    BYTE buffer[100];
    std::memset(buffer, 0, sizeof(buffer));
    DWORD dwReturned = 0;
    DeviceIoControl(hDriver, IOCTL_GET_FW_VERSION, buffer, 100, buffer, 100, &dwReturned, nullptr);
    const UINT version = buffer[0] * 100u + buffer[1];
    if (version != 0) {
        return version;
    }
    DeviceIoControl(hDriver, IOCTL_GET_FW_VERSION, buffer, 100, buffer, 100, &dwReturned, nullptr);
    return buffer[0] + 256u * buffer[1];
}
