#include "kernel/Waitable.h"
#include "platform/internal/kernel_object.h"
#include "platform/kernel32.h"

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    auto object = platform::kernel::Handles().Get(reinterpret_cast<std::uintptr_t>(hHandle));
    auto* waitable = dynamic_cast<platform::kernel::Waitable*>(object.get());
    if (!waitable) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    return waitable->Wait(platform::kernel::ScaledMilliseconds(dwMilliseconds));
}
