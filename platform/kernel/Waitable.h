// Kernel objects that WaitForSingleObject can wait on.
#pragma once

#include "platform/wintypes.h"

namespace platform::kernel {

class Waitable {
public:
    virtual ~Waitable() = default;
    // Waits at most `milliseconds` (already scaled; INFINITE waits forever) and returns
    // WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED with the last error set.
    virtual DWORD Wait(DWORD milliseconds) = 0;
};

} // namespace platform::kernel
