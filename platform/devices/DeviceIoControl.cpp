#include "devices/DeviceConnection.h"
#include "platform/kernel32.h"

#include <cstring>
#include <new>

namespace {

BOOL Fail(DWORD error, LPDWORD lpBytesReturned) {
    if (lpBytesReturned) {
        *lpBytesReturned = 0;
    }
    SetLastError(error);
    return FALSE;
}

} // namespace

// Device handles are synchronous: an OVERLAPPED request is refused rather than run blocking.
BOOL WINAPI DeviceIoControl(HANDLE hDevice, DWORD dwIoControlCode, LPVOID lpInBuffer,
                            DWORD nInBufferSize, LPVOID lpOutBuffer, DWORD nOutBufferSize,
                            LPDWORD lpBytesReturned, LPOVERLAPPED lpOverlapped) {
    namespace devices = platform::devices;
    const auto connection = platform::kernel::GetObject<devices::DeviceConnection>(hDevice);
    if (!connection) {
        return Fail(ERROR_INVALID_HANDLE, lpBytesReturned);
    }
    if (lpOverlapped || (!lpInBuffer && nInBufferSize) || (!lpOutBuffer && nOutBufferSize) ||
        nInBufferSize > devices::wire::kMaxData || nOutBufferSize > devices::wire::kMaxData) {
        return Fail(ERROR_INVALID_PARAMETER, lpBytesReturned);
    }
    try {
        const std::span<const std::uint8_t> input(static_cast<const std::uint8_t*>(lpInBuffer),
                                                  nInBufferSize);
        std::vector<std::uint8_t> output;
        const DWORD status = connection->Control(dwIoControlCode, input, nOutBufferSize, output);
        if (status != ERROR_SUCCESS) {
            return Fail(status, lpBytesReturned);
        }
        if (!output.empty()) {
            std::memcpy(lpOutBuffer, output.data(), output.size());
        }
        if (lpBytesReturned) {
            *lpBytesReturned = static_cast<DWORD>(output.size());
        }
        return TRUE;
    } catch (const std::bad_alloc&) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY, lpBytesReturned);
    }
}
