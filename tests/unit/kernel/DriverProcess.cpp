#include "DriverProcess.h"

#include "platform/internal/kernel_object.h"

#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

namespace {

bool SendFd(int socket, int fd) {
    char byte = 'F';
    iovec io{&byte, 1};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr msg{};
    msg.msg_iov = &io;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = SOL_SOCKET;
    c->cmsg_type = SCM_RIGHTS;
    c->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(c), &fd, sizeof fd);
    return ::sendmsg(socket, &msg, MSG_NOSIGNAL) == 1;
}

int ReceiveFd(int socket) {
    char byte = 0;
    iovec io{&byte, 1};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr msg{};
    msg.msg_iov = &io;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    if (::recvmsg(socket, &msg, 0) != 1) {
        return -1;
    }
    cmsghdr* c = CMSG_FIRSTHDR(&msg);
    if (!c || c->cmsg_type != SCM_RIGHTS) {
        return -1;
    }
    int fd = -1;
    std::memcpy(&fd, CMSG_DATA(c), sizeof fd);
    return fd;
}

// The child drops everything it inherited, so the only way it can reach the semaphore is the
// descriptor it is sent.
[[noreturn]] void ChildMain(int socket) {
    for (int fd = 3; fd < 4096; ++fd) {
        if (fd != socket) {
            ::close(fd);
        }
    }
    const int fd = ReceiveFd(socket);
    if (fd < 0) {
        ::_exit(3);
    }
    char request = 0;
    while (::read(socket, &request, 1) == 1) {
        const std::uint64_t one = 1;
        if (::write(fd, &one, sizeof one) != sizeof one) {
            ::_exit(4);
        }
    }
    ::_exit(0);
}

} // namespace

DriverProcess::DriverProcess(HANDLE semaphore) {
    auto object = platform::kernel::Handles().Get(reinterpret_cast<std::uintptr_t>(semaphore));
    if (!object || object->ShareableFd() < 0) {
        return;
    }
    int sockets[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
        return;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(sockets[0]);
        ChildMain(sockets[1]);
    }
    ::close(sockets[1]);
    socket_ = sockets[0];
    pid_ = pid;
    if (pid_ > 0 && !SendFd(socket_, object->ShareableFd())) {
        Finish();
    }
}

DriverProcess::~DriverProcess() {
    Finish();
}

bool DriverProcess::Post(int times) {
    for (int i = 0; i < times; ++i) {
        const char request = 'P';
        if (::write(socket_, &request, 1) != 1) {
            return false;
        }
    }
    return true;
}

int DriverProcess::Finish() {
    if (socket_ >= 0) {
        ::close(socket_);
        socket_ = -1;
    }
    if (pid_ <= 0) {
        return -1;
    }
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}
