#include "DriverChannel.h"

void StartDriverChannel(LPVOID pMainWnd, HANDLE* phEventThread, DWORD* pdwEventThreadId) {
    g_hEventSemaphore.store(CreateSemaphoreA(nullptr, 0, 100, nullptr), std::memory_order_relaxed);
    *phEventThread = CreateThread(nullptr, 4096, DeviceEventThread, pMainWnd, 0, pdwEventThreadId);
    OpenDriverChannel();
}
