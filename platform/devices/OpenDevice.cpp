#include "devices/DeviceConnection.h"
#include "platform/internal/device_folder.h"
#include "platform/internal/kernel_object.h"
#include "platform/kernel32.h"

#include <sys/socket.h>
#include <sys/un.h>

#include <cerrno>
#include <cstring>
#include <new>
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

DWORD ConnectError(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ECONNREFUSED: // a socket file left behind with no driver serving it
        return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
        return ERROR_ACCESS_DENIED;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
    case ENOBUFS:
        return ERROR_NOT_ENOUGH_MEMORY;
    default:
        return ERROR_GEN_FAILURE;
    }
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
        const std::string path = DeviceFolder() + "/" + name;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (path.size() >= sizeof(address.sun_path)) {
            return Fail(ERROR_FILENAME_EXCED_RANGE);
        }
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        kernel::UniqueFd socket(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
        if (!socket.Valid()) {
            return Fail(ConnectError(errno));
        }
        int result;
        do {
            result = ::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address),
                               sizeof(address));
        } while (result != 0 && errno == EINTR);
        if (result != 0) {
            return Fail(ConnectError(errno));
        }
        return std::make_shared<DeviceConnection>(std::move(socket));
    } catch (const std::bad_alloc&) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

} // namespace platform::devices
