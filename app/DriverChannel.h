// The long-lived channel to the Nerith driver and the device-event thread.
//
// The four globals are shared by the window's thread and the device-event thread without
// locks. Each is a relaxed atomic word: reads and writes stay whole and race-free, and the
// ordering that matters comes from the semaphore the driver releases after registration.
#pragma once

#include "platform/kernel32.h"

#include <atomic>

// Control codes of the driver channel. IOCTL_ENTER_ICP lives with the programming session
// (IcpControlCode.h).
#define IOCTL_REGISTER_SEMAPHORE                                                                   \
    CTL_CODE(FILE_DEVICE_UNKNOWN, 0x900, METHOD_BUFFERED, FILE_ANY_ACCESS)
#define IOCTL_GET_EVENT CTL_CODE(FILE_DEVICE_UNKNOWN, 0x902, METHOD_BUFFERED, FILE_ANY_ACCESS)
#define IOCTL_GET_FW_VERSION CTL_CODE(FILE_DEVICE_UNKNOWN, 0x944, METHOD_BUFFERED, FILE_ANY_ACCESS)

extern std::atomic<HANDLE> g_hDriver;         // the open channel, or NULL
extern std::atomic<HANDLE> g_hEventSemaphore; // released by the driver once per device event
extern std::atomic<BOOL> g_bStopEventThread;  // set when the main window is destroyed
extern std::atomic<DWORD> g_dwDeviceEvent;    // the last event word fetched

// Creates the event semaphore, starts the device-event thread with `pMainWnd` as its
// parameter and opens the channel. The thread's handle and id land in the two outputs.
void StartDriverChannel(LPVOID pMainWnd, HANDLE* phEventThread, DWORD* pdwEventThreadId);
BOOL OpenDriverChannel();
DWORD WINAPI DeviceEventThread(LPVOID lpParameter);
// The device's firmware version, 0 when there is no channel or no answer.
UINT QueryFirmwareVersion();
