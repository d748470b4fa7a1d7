#include "platform/internal/kernel_object.h"
#include "platform/kernel32.h"

#include <cstdlib>

namespace platform::kernel {

HandleTable<KernelObject>& Handles() {
    static HandleTable<KernelObject> table;
    return table;
}

HANDLE AddHandle(std::shared_ptr<KernelObject> object) {
    const std::uintptr_t value = Handles().Insert(std::move(object));
    if (value == 0) {
        SetLastError(ERROR_TOO_MANY_OPEN_FILES);
        return nullptr;
    }
    return reinterpret_cast<HANDLE>(value);
}

double TimeScale() {
    static const double scale = [] {
        const char* text = std::getenv("NERITH_TIME_SCALE");
        if (!text || !*text) {
            return 1.0;
        }
        char* end = nullptr;
        const double value = std::strtod(text, &end);
        return (end && *end == '\0' && value > 0.0 && value <= 1000.0) ? value : 1.0;
    }();
    return scale;
}

DWORD ScaledMilliseconds(DWORD milliseconds) {
    if (milliseconds == INFINITE) {
        return INFINITE;
    }
    const double scaled = static_cast<double>(milliseconds) * TimeScale();
    return scaled >= 4294967294.0 ? 4294967294u : static_cast<DWORD>(scaled);
}

} // namespace platform::kernel
