#include "IspLink.h"
#include "IspProtocol.h"
#include "IspStatus.h"
#include "isp/IspLibrary.h"

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
