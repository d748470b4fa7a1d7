// The library's one connection to the MCU, from IspOpen to IspClose, and the flash ranges
// the open allowed: the region start..last and the vector area vectorFirst..0xFFFF.
#pragma once

#include "platform/wintypes.h"

#include <cstdint>

class IspLink {
public:
    static IspLink& Instance();

    bool IsOpen() const { return m_hDevice != nullptr; }
    // True when first..last lies inside the open region or the vector area.
    bool Covers(DWORD first, DWORD last) const;
    // Returns the driver's Win32 status; the link stays as it is either way.
    DWORD Send(DWORD code, const void* input, DWORD inputSize, void* output = nullptr,
               DWORD outputSize = 0) const;

    BOOL Connect(DWORD first, DWORD last, DWORD vectorFirst);
    void Disconnect();

private:
    HANDLE m_hDevice = nullptr;
    DWORD m_dwFirst = 0;
    DWORD m_dwLast = 0;
    DWORD m_dwVectorFirst = 0;
};
