// Translation of POSIX errno values into the GetLastError codes Windows reports for the
// same failure.
#pragma once

#include "platform/wintypes.h"

namespace platform::kernel {

DWORD Win32ErrorFromErrno(int error);

void SetLastErrorFromErrno(int error);

} // namespace platform::kernel
