#include "BlockTransfer.h"
#include "isp/IspLibrary.h"

extern "C" int WINAPI IspProgramBlock(DWORD first, DWORD firstHigh, DWORD last, DWORD lastHigh,
                                      DWORD length, DWORD lengthHigh, DWORD blockSize, BYTE* image,
                                      BYTE* pageMap, DWORD* status) {
    const BlockArguments block{first,      firstHigh, last,  lastHigh, length,
                               lengthHigh, blockSize, image, pageMap};
    return ReportIspStatus(status, TransferBlock(block, BlockOperation::Program));
}
