#include "XvfbServer.h"

#include <X11/Xlib.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace nerith::testing {

namespace {

bool IsExecutable(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Xvfb writes its display number and a newline once it accepts connections.
std::string ReadDisplayNumber(int fd, ChildProcess& server,
                              std::chrono::steady_clock::time_point deadline) {
    std::string text;
    while (text.find('\n') == std::string::npos) {
        pollfd ready{fd, POLLIN, 0};
        const int polled = poll(&ready, 1, std::min(MillisecondsLeft(deadline), 50));
        if (polled < 0 && errno != EINTR) {
            return {};
        }
        if (polled > 0) {
            char buffer[32];
            const ssize_t got = read(fd, buffer, sizeof buffer);
            if (got <= 0) {
                return {};
            }
            text.append(buffer, static_cast<std::size_t>(got));
        }
        if (!server.Running() || MillisecondsLeft(deadline) == 0) {
            return {};
        }
    }
    return text.substr(0, text.find('\n'));
}

bool Connectable(const std::string& name) {
    Display* display = XOpenDisplay(name.c_str());
    if (display == nullptr) {
        return false;
    }
    XCloseDisplay(display);
    return true;
}

} // namespace

std::string XvfbServer::ProgramPath() {
    if (const char* chosen = std::getenv("NERITH_XVFB"); chosen != nullptr && *chosen != 0) {
        return IsExecutable(chosen) ? chosen : std::string();
    }
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        std::string candidate = (dir.empty() ? "." : dir) + "/Xvfb";
        if (IsExecutable(candidate)) {
            return candidate;
        }
    }
    return {};
}

std::unique_ptr<XvfbServer> XvfbServer::Start(const XvfbOptions& options, std::string* error) {
    auto fail = [&](const std::string& why) -> std::unique_ptr<XvfbServer> {
        if (error != nullptr) {
            *error = why;
        }
        return nullptr;
    };
    const std::string program = ProgramPath();
    if (program.empty()) {
        return fail("Xvfb is not installed");
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return fail(std::string("pipe: ") + std::strerror(errno));
    }
    UniqueFd readEnd(fds[0]);
    UniqueFd writeEnd(fds[1]);
    std::ostringstream screen;
    screen << options.width << 'x' << options.height << 'x' << options.depth;
    ProcessOptions process;
    process.argv = {program,     "-displayfd", std::to_string(writeEnd.Get()),
                    "-screen",   "0",          screen.str(),
                    "-nolisten", "tcp",        "-noreset"};
    process.argv.insert(process.argv.end(), options.arguments.begin(), options.arguments.end());
    process.inheritFds = {writeEnd.Get()};
    std::string why;
    auto child = ChildProcess::Start(process, &why);
    if (!child) {
        return fail("cannot start Xvfb: " + why);
    }
    writeEnd.Reset();
    const auto deadline = std::chrono::steady_clock::now() + options.startTimeout;
    const std::string number = ReadDisplayNumber(readEnd.Get(), *child, deadline);
    if (number.empty()) {
        return fail("Xvfb did not come up: " + child->Stderr());
    }
    const std::string name = ":" + number;
    while (!Connectable(name)) {
        if (MillisecondsLeft(deadline) == 0) {
            return fail("Xvfb on " + name + " accepts no connection: " + child->Stderr());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::unique_ptr<XvfbServer>(new XvfbServer(std::move(child), name));
}

} // namespace nerith::testing
