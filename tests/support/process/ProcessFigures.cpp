#include "ProcessFigures.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace nerith::test {

namespace {

// "VmRSS:    1234 kB" -> 1234.
std::optional<long> StatusValue(const std::string& status, const std::string& key) {
    std::istringstream lines(status);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(key + ":", 0) == 0) {
            return std::stol(line.substr(key.size() + 1));
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<ProcessFigures> ReadProcessFigures(int pid) {
    const std::string proc = "/proc/" + std::to_string(pid);
    std::ifstream in(proc + "/status");
    std::stringstream text;
    text << in.rdbuf();
    const auto rss = StatusValue(text.str(), "VmRSS");
    const auto threads = StatusValue(text.str(), "Threads");
    std::error_code ec;
    std::filesystem::directory_iterator fds(proc + "/fd", ec);
    if (!rss || !threads || ec) {
        return std::nullopt;
    }
    ProcessFigures figures;
    figures.residentKiB = *rss;
    figures.threads = static_cast<int>(*threads);
    for (const auto& entry : fds) {
        // A descriptor closed between listing and reading still counted as open.
        std::error_code linkError;
        const auto target = std::filesystem::read_symlink(entry.path(), linkError);
        figures.fdTargets.push_back(linkError ? "?" : target.string());
    }
    std::sort(figures.fdTargets.begin(), figures.fdTargets.end());
    figures.openFds = static_cast<int>(figures.fdTargets.size());
    return figures;
}

std::string Describe(const ProcessFigures& figures) {
    return "resident " + std::to_string(figures.residentKiB) + " KiB, " +
           std::to_string(figures.openFds) + " fds, " + std::to_string(figures.threads) +
           " threads";
}

std::string DescriptorsAdded(const ProcessFigures& earlier, const ProcessFigures& later) {
    std::vector<std::string> added;
    std::set_difference(later.fdTargets.begin(), later.fdTargets.end(), earlier.fdTargets.begin(),
                        earlier.fdTargets.end(), std::back_inserter(added));
    std::string text;
    for (const std::string& target : added) {
        text += target + "\n";
    }
    return text;
}

int ServerPid(const std::string& socketPath) {
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return 0;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof(address.sun_path) - 1);
    ucred peer{};
    socklen_t length = sizeof(peer);
    const bool known = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
                       ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0;
    ::close(fd);
    return known ? peer.pid : 0;
}

} // namespace nerith::test
