// The library's six exports, in the order of the ordinals the updater imports them by (1, 2, 4,
// 6, 7, 9); ISPdll.map keeps every other symbol local.
#include "BlockTransfer.h"
#include "IspLibrary.h"
#include "IspLink.h"
#include "IspProtocol.h"
#include "IspStatus.h"

// A second open without a close in between (the erase pass does this) replaces the first.
extern "C" int WINAPI IspOpen(DWORD ispParam1, DWORD ispParam2, DWORD ispParam3, DWORD startAddress,
                              DWORD flash1Last, DWORD vectorFirst, DWORD ispParam7, BYTE ispParam8,
                              BYTE ispParam9, DWORD wholeErase) {
    IspLink& link = IspLink::Instance();
    link.Disconnect();
    if (startAddress > flash1Last || flash1Last >= isp_protocol::kAddressSpace ||
        vectorFirst >= isp_protocol::kAddressSpace) {
        return ISP_BAD_ARGUMENT;
    }
    if (!link.Connect(startAddress, flash1Last, vectorFirst)) {
        return ISP_NO_ANSWER;
    }
    const isp_protocol::OpenParameters parameters{ispParam1,  ispParam2,   ispParam3, startAddress,
                                                  flash1Last, vectorFirst, ispParam7, ispParam8,
                                                  ispParam9,  {0, 0},      wholeErase};
    if (link.Send(isp_protocol::kOpen, &parameters, sizeof(parameters)) != ERROR_SUCCESS) {
        link.Disconnect();
        return ISP_NO_ANSWER;
    }
    return ISP_OK;
}

extern "C" int WINAPI IspClose() {
    IspLink& link = IspLink::Instance();
    if (link.IsOpen()) {
        link.Send(isp_protocol::kClose, nullptr, 0);
        link.Disconnect();
    }
    return ISP_OK;
}

extern "C" int WINAPI IspProgramBlock(DWORD first, DWORD firstHigh, DWORD last, DWORD lastHigh,
                                      DWORD length, DWORD lengthHigh, DWORD blockSize, BYTE* image,
                                      BYTE* pageMap, DWORD* status) {
    const BlockArguments block{first,      firstHigh, last,  lastHigh, length,
                               lengthHigh, blockSize, image, pageMap};
    return ReportIspStatus(status, TransferBlock(block, BlockOperation::Program));
}

extern "C" int WINAPI IspEraseRange(DWORD firstLow, DWORD firstHigh, DWORD lastLow, DWORD lastHigh,
                                    DWORD blockSize, DWORD* status) {
    const IspLink& link = IspLink::Instance();
    if (!link.IsOpen()) {
        return ReportIspStatus(status, ISP_NOT_OPEN);
    }
    const DWORD first = (firstHigh << 8) | firstLow;
    const DWORD last = (lastHigh << 8) | lastLow;
    if (firstLow > 0xFF || firstHigh > 0xFF || lastLow > 0xFF || lastHigh > 0xFF ||
        blockSize == 0 || !link.Covers(first, last)) {
        return ReportIspStatus(status, ISP_BAD_ARGUMENT);
    }
    const isp_protocol::EraseRange range{static_cast<std::uint16_t>(first),
                                         static_cast<std::uint16_t>(last), blockSize};
    if (link.Send(isp_protocol::kErase, &range, sizeof(range)) != ERROR_SUCCESS) {
        return ReportIspStatus(status, ISP_DEVICE_ERROR);
    }
    return ReportIspStatus(status, ISP_OK);
}

// The two leading values carry nothing this library needs.
extern "C" int WINAPI IspMassErase(DWORD, DWORD, DWORD* status) {
    const IspLink& link = IspLink::Instance();
    if (!link.IsOpen()) {
        return ReportIspStatus(status, ISP_NOT_OPEN);
    }
    if (link.Send(isp_protocol::kMassErase, nullptr, 0) != ERROR_SUCCESS) {
        return ReportIspStatus(status, ISP_DEVICE_ERROR);
    }
    return ReportIspStatus(status, ISP_OK);
}

extern "C" int WINAPI IspVerifyBlock(DWORD first, DWORD firstHigh, DWORD last, DWORD lastHigh,
                                     DWORD length, DWORD lengthHigh, DWORD blockSize, BYTE* image,
                                     BYTE* pageMap, DWORD* status) {
    const BlockArguments block{first,      firstHigh, last,  lastHigh, length,
                               lengthHigh, blockSize, image, pageMap};
    return ReportIspStatus(status, TransferBlock(block, BlockOperation::Verify));
}
