// The shared work of IspProgramBlock and IspVerifyBlock: checking a block call's arguments and
// moving the block's marked pages to the MCU in requests of at most 4 KiB.
#pragma once

#include "IspStatus.h"

struct BlockArguments {
    DWORD first;
    DWORD firstHigh;
    DWORD last;
    DWORD lastHigh;
    DWORD length;
    DWORD lengthHigh;
    DWORD blockSize;
    const BYTE* image;   // 65,536 bytes indexed by MCU address
    const BYTE* pageMap; // 1,024 entries, non-zero for a page the image file filled
};

enum class BlockOperation { Program, Verify };

IspStatus TransferBlock(const BlockArguments& block, BlockOperation operation);
