#include "IspLink.h"
#include "IspProtocol.h"
#include "IspStatus.h"
#include "isp/IspLibrary.h"

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
