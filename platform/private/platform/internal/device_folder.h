// Where the driver sockets live: $NERITH_DEVICE_DIR when set and not empty, otherwise
// /tmp/nerith-devices-<uid>. Read at every call, so a test can point one process elsewhere.
#pragma once

#include <string>

namespace platform::devices {

std::string DeviceFolder();

} // namespace platform::devices
