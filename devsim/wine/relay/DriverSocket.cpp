#include "DriverSocket.h"

#include "platform/internal/device_socket.h"

#include <sys/socket.h>

#include <cerrno>

namespace korvel_relay {

namespace devices = platform::devices;

DWORD ConnectToDriver(const std::string& path, UniqueFd& socket) {
    const std::size_t slash = path.rfind('/');
    const std::string folderPath = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (name.empty()) {
        return ERROR_FILE_NOT_FOUND;
    }
    UniqueFd folder;
    if (const DWORD error = devices::OpenTrustedFolder(folderPath, folder)) {
        return error;
    }
    if (const DWORD error = devices::ConnectInFolder(folder, name, socket, SOCK_NONBLOCK)) {
        return error;
    }
    if (!devices::TrustedPeer(socket.Get())) {
        socket.Reset();
        return ERROR_ACCESS_DENIED;
    }
    return ERROR_SUCCESS;
}

bool SendToDriver(int socket, const std::vector<std::uint8_t>& packet, int fd) {
    const devices::OutgoingPacket outgoing(packet, fd);
    ssize_t sent;
    do {
        sent = ::sendmsg(socket, outgoing.Message(), MSG_NOSIGNAL | MSG_DONTWAIT);
    } while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(packet.size());
}

} // namespace korvel_relay
