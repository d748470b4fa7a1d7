// The target MCU: its flash regions, block sizes, flags, checksum range and the fixed
// parameters of the ISP library. Addresses are 16-bit MCU addresses; regions are inclusive.
#pragma once

#include "platform/afx/CString.h"
#include "platform/wintypes.h"

struct McuProfile {
    CString mcuName;
    CString mcuCode;
    DWORD ispParam7 = 0;
    BOOL dualFlash = FALSE;
    BOOL wholeErase = FALSE;
    DWORD flash1First = 0;
    DWORD flash1Last = 0;
    DWORD flash1Block = 0;
    BOOL vectorEnabled = FALSE;
    DWORD vectorFirst = 0;
    DWORD vectorLast = 0;
    DWORD vectorBlock = 0;
    BOOL flash2Enabled = FALSE;
    DWORD flash2First = 0;
    DWORD flash2Last = 0;
    DWORD flash2Block = 0;
    DWORD checksumFirst = 0;
    DWORD checksumLast = 0;
    DWORD ispParam3 = 0;
    DWORD ispParam2 = 0;
    DWORD ispParam1 = 0;
    BYTE ispParam8 = 0;
    BYTE ispParam9 = 0;
};
