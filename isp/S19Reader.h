// Reading the Motorola S-record file that carries the firmware image.
#pragma once

#include "platform/wintypes.h"

// Reads the S1 records of the file into a 65,536-byte image indexed by MCU address, marking
// each 64-byte page that receives data in a 1,024-entry page map (0xFF). Returns 0 when the
// file was read, 1 when it does not open.
int ReadS19File(LPCTSTR lpszPath, BYTE* image, BYTE* pageMap);

// The value of a string of hexadecimal digits (either case); 0 for an empty string or one
// with any other character.
int HexToInt(LPCTSTR text);
