#include "devices/DeviceConnection.h"
#include "devices/DeviceTrust.h"
#include "platform/internal/kernel_object.h"
#include "platform/kernel32.h"

#include <sys/socket.h>
#include <sys/un.h>

#include <cerrno>
#include <cstring>
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

// The socket is reached through the folder's descriptor, so a folder swapped after its check
// cannot lead elsewhere; the path is short whatever the folder's own length.
DWORD ConnectInFolder(const kernel::UniqueFd& folder, const char* name, kernel::UniqueFd& socket) {
    const std::string path = "/proc/self/fd/" + std::to_string(folder.Get()) + "/" + name;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    socket.Reset(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
    if (!socket.Valid()) {
        return ConnectError(errno);
    }
    int result;
    do {
        result =
            ::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    } while (result != 0 && errno == EINTR);
    return result == 0 ? ERROR_SUCCESS : ConnectError(errno);
}

} // namespace

std::shared_ptr<kernel::KernelObject> OpenDevice(const char* name) {
    if (!name || !ValidName(name)) {
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    try {
        kernel::UniqueFd folder;
        if (const DWORD error = OpenDeviceFolder(folder)) {
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
