// The status word the ISP library writes and returns: 0 is success.
#pragma once

#include "platform/wintypes.h"

enum IspStatus : DWORD {
    ISP_OK = 0,
    ISP_NO_ANSWER = 1,    // the device is absent or the MCU did not answer the open
    ISP_MISMATCH = 2,     // the flash does not hold the image's bytes
    ISP_DEVICE_ERROR = 3, // the MCU or the driver failed the request, or the device vanished
    ISP_BAD_ARGUMENT = 4, // an address, length or pointer the library cannot accept
    ISP_NOT_OPEN = 5      // no IspOpen before the call
};

// Writes the status word when the caller gave one and returns the status.
inline int ReportIspStatus(DWORD* status, IspStatus value) {
    if (status) {
        *status = value;
    }
    return static_cast<int>(value);
}
