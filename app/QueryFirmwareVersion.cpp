#include "DriverChannel.h"

#include <cstring>

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
