// The two's complement of the 16-bit sum of image[first..last]; addresses past the 64 KiB
// image are not read.
#pragma once

#include "platform/wintypes.h"

WORD ImageChecksum(const BYTE* image, DWORD first, DWORD last);
