// Reads the S1 records of a Motorola S-record file into a 65,536-byte image indexed by MCU
// address, marking each 64-byte page that receives data in a 1,024-entry page map (0xFF).
// Returns 0 when the file was read, 1 when it does not open.
#pragma once

#include "platform/wintypes.h"

int ReadS19File(LPCTSTR lpszPath, BYTE* image, BYTE* pageMap);
