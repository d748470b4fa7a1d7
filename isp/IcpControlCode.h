// The driver control code that switches the device's MCU into in-circuit programming mode.
#pragma once

#include "platform/kernel32.h"

#define IOCTL_ENTER_ICP CTL_CODE(FILE_DEVICE_UNKNOWN, 0x924, METHOD_BUFFERED, FILE_ANY_ACCESS)
