#include "ControlClient.h"

#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>
#include <sstream>

namespace devsim {

UniqueFd ConnectControl(const std::string& deviceFolder) {
    const std::string path = deviceFolder + "/korvel.control";
    sockaddr_un address{};
    if (path.size() >= sizeof(address.sun_path)) {
        return UniqueFd();
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    UniqueFd control(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
    const auto* peer = reinterpret_cast<const sockaddr*>(&address);
    if (!control.Valid() || ::connect(control.Get(), peer, sizeof(address)) != 0) {
        return UniqueFd();
    }
    const timeval timeout{10, 0};
    ::setsockopt(control.Get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
    return control;
}

std::string SendControl(int control, const std::string& command) {
    if (::send(control, command.data(), command.size(), MSG_NOSIGNAL) < 0) {
        return "error: cannot send the command";
    }
    char reply[4096];
    const ssize_t received = ::recv(control, reply, sizeof(reply), 0);
    if (received <= 0) {
        return "error: no reply";
    }
    return std::string(reply, static_cast<std::size_t>(received));
}

std::map<std::string, std::string> ReplyFields(const std::string& reply) {
    std::map<std::string, std::string> fields;
    std::istringstream words(reply);
    std::string word;
    while (words >> word) {
        const auto equals = word.find('=');
        if (equals != std::string::npos) {
            fields[word.substr(0, equals)] = word.substr(equals + 1);
        }
    }
    return fields;
}

} // namespace devsim
