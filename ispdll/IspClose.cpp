#include "IspLink.h"
#include "IspProtocol.h"
#include "IspStatus.h"
#include "isp/IspLibrary.h"

extern "C" int WINAPI IspClose() {
    IspLink& link = IspLink::Instance();
    if (link.IsOpen()) {
        link.Send(isp_protocol::kClose, nullptr, 0);
        link.Disconnect();
    }
    return ISP_OK;
}
