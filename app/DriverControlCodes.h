// Control codes of the Nerith driver channel. IOCTL_ENTER_ICP lives with the programming
// session (isp/IcpControlCode.h).
#pragma once

#include "platform/kernel32.h"

#define IOCTL_REGISTER_SEMAPHORE                                                                   \
    CTL_CODE(FILE_DEVICE_UNKNOWN, 0x900, METHOD_BUFFERED, FILE_ANY_ACCESS)
#define IOCTL_GET_EVENT CTL_CODE(FILE_DEVICE_UNKNOWN, 0x902, METHOD_BUFFERED, FILE_ANY_ACCESS)
#define IOCTL_GET_FW_VERSION CTL_CODE(FILE_DEVICE_UNKNOWN, 0x944, METHOD_BUFFERED, FILE_ANY_ACCESS)
