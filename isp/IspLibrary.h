// The closed ISP library (ISPdll) the programming session drives. The updater imports it by
// ordinal; the ordinals are recorded here. Every function returns 0 on success. Addresses
// are 16-bit MCU addresses in 32-bit values.
#pragma once

#include "platform/wintypes.h"

#define ISPDLL_ORDINAL_ISPOPEN 1
#define ISPDLL_ORDINAL_ISPCLOSE 2
#define ISPDLL_ORDINAL_ISPPROGRAMBLOCK 4
#define ISPDLL_ORDINAL_ISPERASERANGE 6
#define ISPDLL_ORDINAL_ISPMASSERASE 7
#define ISPDLL_ORDINAL_ISPVERIFYBLOCK 9

extern "C" {

int WINAPI IspOpen(DWORD ispParam1, DWORD ispParam2, DWORD ispParam3, DWORD startAddress,
                   DWORD flash1Last, DWORD vectorFirst, DWORD ispParam7, BYTE ispParam8,
                   BYTE ispParam9, DWORD wholeErase);
int WINAPI IspClose();
int WINAPI IspProgramBlock(DWORD first, DWORD firstHigh, DWORD last, DWORD lastHigh, DWORD length,
                           DWORD lengthHigh, DWORD blockSize, BYTE* image, BYTE* pageMap,
                           DWORD* status);
int WINAPI IspEraseRange(DWORD firstLow, DWORD firstHigh, DWORD lastLow, DWORD lastHigh,
                         DWORD blockSize, DWORD* status);
int WINAPI IspMassErase(DWORD reserved1, DWORD reserved2, DWORD* status);
int WINAPI IspVerifyBlock(DWORD first, DWORD firstHigh, DWORD last, DWORD lastHigh, DWORD length,
                          DWORD lengthHigh, DWORD blockSize, BYTE* image, BYTE* pageMap,
                          DWORD* status);
}
