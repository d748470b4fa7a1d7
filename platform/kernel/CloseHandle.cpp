#include "platform/internal/kernel_object.h"
#include "platform/kernel32.h"

BOOL WINAPI CloseHandle(HANDLE hObject) {
    auto object = platform::kernel::Handles().Remove(reinterpret_cast<std::uintptr_t>(hObject));
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // Another thread may still be using the object (a wait in progress); it dies with the
    // last reference.
    return TRUE;
}
