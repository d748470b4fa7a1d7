#include "IspLink.h"
#include "IspProtocol.h"
#include "IspStatus.h"
#include "isp/IspLibrary.h"

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
