#include "DevsimControl.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace nerith::demo {

namespace {

class Socket {
public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

int Connect(const std::string& deviceDir) {
    const std::string path = deviceDir + "/korvel.control";
    sockaddr_un address{};
    if (path.size() >= sizeof(address.sun_path)) {
        return -1;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(fd);
        return -1;
    }
    const timeval timeout{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
    return fd;
}

} // namespace

std::string DevsimCommand(const std::string& deviceDir, const std::string& command) {
    const Socket control(Connect(deviceDir));
    if (control.get() < 0) {
        return "error: nerith-devsim does not answer in " + deviceDir;
    }
    if (::send(control.get(), command.data(), command.size(), MSG_NOSIGNAL) < 0) {
        return "error: cannot send the command";
    }
    char reply[4096];
    const ssize_t received = ::recv(control.get(), reply, sizeof(reply), 0);
    if (received <= 0) {
        return "error: no reply";
    }
    return std::string(reply, static_cast<std::size_t>(received));
}

bool WaitForDevsim(const std::string& deviceDir, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        const Socket control(Connect(deviceDir));
        if (control.get() >= 0) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
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

std::vector<std::uint8_t> DumpDevsimFlash(const std::string& deviceDir, const std::string& file) {
    if (DevsimCommand(deviceDir, "dump-bin " + file).rfind("ok", 0) != 0) {
        return {};
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    std::remove(file.c_str());
    return bytes.size() == 0x10000 ? bytes : std::vector<std::uint8_t>();
}

} // namespace nerith::demo
