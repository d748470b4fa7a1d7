// An open disk file behind a HANDLE from CreateFileA.
#pragma once

#include "kernel/ShareModes.h"
#include "platform/internal/UniqueFd.h"
#include "platform/internal/kernel_object.h"

namespace platform::kernel {

class File : public KernelObject {
public:
    File(UniqueFd fd, DWORD access, ShareReservation reservation);

    // Whole transfers as ReadFile/WriteFile make them: a read stops early only at end of file.
    BOOL Read(void* buffer, DWORD size, DWORD* done);
    BOOL Write(const void* buffer, DWORD size, DWORD* done);

private:
    UniqueFd fd_;
    DWORD access_; // FILE_SHARE_READ/WRITE bits of the access granted
    ShareReservation reservation_;
};

} // namespace platform::kernel
