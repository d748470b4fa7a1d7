#include "platform/internal/device_folder.h"

#include <unistd.h>

#include <cstdlib>

namespace platform::devices {

std::string DeviceFolder() {
    const char* configured = std::getenv("NERITH_DEVICE_DIR");
    if (configured && *configured) {
        return configured;
    }
    return "/tmp/nerith-devices-" + std::to_string(::getuid());
}

} // namespace platform::devices
