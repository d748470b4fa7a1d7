#include "isp/IcpControlCode.h"
#include "isp/IspSession.h"

namespace {

HANDLE OpenDriverWithRetries() {
    HANDLE hDevice = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 30 && hDevice == INVALID_HANDLE_VALUE; ++attempt) {
        Sleep(2000);
        hDevice = CreateFileA("\\\\.\\korvel", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    }
    return hDevice;
}

} // namespace

int CIspSession::EnterIcpMode() {
    const HANDLE hDevice = OpenDriverWithRetries();
    if (hDevice == INVALID_HANDLE_VALUE) {
        CString strError;
        strError.Format("ERROR: Cannot create device, error=%08lx\n",
                        static_cast<unsigned long>(GetLastError()));
        return 0;
    }
    BYTE bEnter = 0x01;
    DWORD dwReturned = 0;
    const BOOL bOk =
        DeviceIoControl(hDevice, IOCTL_ENTER_ICP, &bEnter, 1, nullptr, 0, &dwReturned, nullptr);
    // Taken before CloseHandle, which may change it.
    const DWORD dwError = GetLastError();
    CloseHandle(hDevice);
    if (bOk) {
        return 1;
    }
    CString strError;
    strError.Format("ERROR: IOCTL_ENTER_ICP failed, error=%x\n", static_cast<unsigned>(dwError));
    return 0;
}
