#include "DriverChannel.h"

std::atomic<HANDLE> g_hDriver{nullptr};
std::atomic<HANDLE> g_hEventSemaphore{nullptr};
std::atomic<BOOL> g_bStopEventThread{FALSE};
std::atomic<DWORD> g_dwDeviceEvent{0};
