#include "platform/internal/kernel_object.h"
#include "platform/kernel32.h"

namespace platform::devices {

// No transport yet: every device is absent.
std::shared_ptr<kernel::KernelObject> OpenDevice(const char*) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
}

} // namespace platform::devices
