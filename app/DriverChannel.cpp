#include "DriverChannel.h"

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
