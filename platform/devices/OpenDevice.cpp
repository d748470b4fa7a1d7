#include "devices/DeviceConnection.h"
#include "platform/internal/device_folder.h"
#include "platform/internal/device_socket.h"
#include "platform/internal/kernel_object.h"
#include "platform/kernel32.h"

#include <new>
#include <string>
#include <string_view>

namespace platform::devices {

namespace {

constexpr std::size_t kMaxNameLength = 64;

// A device name becomes a file name in the device folder, so it may not climb out of it.
bool ValidName(std::string_view name) {
    if (name.empty() || name.size() > kMaxNameLength || name == "." || name == "..") {
        return false;
    }
    for (const char c : name) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                             (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        if (!allowed) {
            return false;
        }
    }
    return true;
}

std::shared_ptr<kernel::KernelObject> Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

} // namespace

std::shared_ptr<kernel::KernelObject> OpenDevice(const char* name) {
    if (!name || !ValidName(name)) {
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    try {
        kernel::UniqueFd folder;
        if (const DWORD error = OpenTrustedFolder(DeviceFolder(), folder)) {
            return Fail(error);
        }
        kernel::UniqueFd socket;
        if (const DWORD error = ConnectInFolder(folder, name, socket)) {
            return Fail(error);
        }
        // Only a driver of this user or root may answer; nothing is sent to anyone else.
        if (!TrustedPeer(socket.Get())) {
            return Fail(ERROR_ACCESS_DENIED);
        }
        return std::make_shared<DeviceConnection>(std::move(socket));
    } catch (const std::bad_alloc&) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

} // namespace platform::devices
