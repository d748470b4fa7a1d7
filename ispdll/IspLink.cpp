#include "IspLink.h"

#include "platform/kernel32.h"

IspLink& IspLink::Instance() {
    static IspLink link;
    return link;
}

bool IspLink::Covers(DWORD first, DWORD last) const {
    const bool inRegion = first >= m_dwFirst && last <= m_dwLast;
    const bool inVectors = first >= m_dwVectorFirst && last <= 0xFFFF;
    return IsOpen() && first <= last && (inRegion || inVectors);
}

DWORD IspLink::Send(DWORD code, const void* input, DWORD inputSize, void* output,
                    DWORD outputSize) const {
    DWORD returned = 0;
    if (!DeviceIoControl(m_hDevice, code, const_cast<void*>(input), inputSize, output, outputSize,
                         &returned, nullptr)) {
        return GetLastError();
    }
    return returned == outputSize ? ERROR_SUCCESS : static_cast<DWORD>(ERROR_INVALID_DATA);
}

BOOL IspLink::Connect(DWORD first, DWORD last, DWORD vectorFirst) {
    Disconnect();
    const HANDLE device = CreateFileA("\\\\.\\korvel", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        return FALSE;
    }
    m_hDevice = device;
    m_dwFirst = first;
    m_dwLast = last;
    m_dwVectorFirst = vectorFirst;
    return TRUE;
}

void IspLink::Disconnect() {
    if (m_hDevice) {
        CloseHandle(m_hDevice);
        m_hDevice = nullptr;
    }
}
