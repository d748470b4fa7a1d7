// Kernel objects behind HANDLE values: files, device connections, semaphores, threads.
// Only platform code sees this header.
#pragma once

#include "platform/internal/handle_table.h"
#include "platform/wintypes.h"

#include <memory>

namespace platform::kernel {

class KernelObject {
public:
    virtual ~KernelObject() = default;
    // A descriptor that stands for this object when it is handed to another process
    // (SCM_RIGHTS); -1 for objects that cannot be shared that way. The object keeps ownership.
    virtual int ShareableFd() const { return -1; }
};

HandleTable<KernelObject>& Handles();

// Inserts the object and returns its handle, or nullptr (ERROR_TOO_MANY_OPEN_FILES) when full.
HANDLE AddHandle(std::shared_ptr<KernelObject> object);

template <typename T> std::shared_ptr<T> GetObject(HANDLE h) {
    return std::dynamic_pointer_cast<T>(Handles().Get(reinterpret_cast<std::uintptr_t>(h)));
}

// Scales a platform wait by NERITH_TIME_SCALE (a positive factor, 1 when unset or invalid):
// 0.01 turns every Sleep(1000) into 10 ms. Product code never sees the factor.
DWORD ScaledMilliseconds(DWORD milliseconds);
double TimeScale();

} // namespace platform::kernel

namespace platform::devices {

// Opens "\\.\NAME" as a connection to the driver socket NAME in the device folder.
// Returns nullptr and sets the thread's last error on failure: ERROR_FILE_NOT_FOUND when no
// driver listens there, ERROR_ACCESS_DENIED when the folder or the driver is not trusted.
std::shared_ptr<kernel::KernelObject> OpenDevice(const char* name);

} // namespace platform::devices
