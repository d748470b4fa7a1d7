#include "ChildRun.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace {

bool EnterSetup(const ChildSetup& setup) {
    if (setup.fileSizeLimit >= 0) {
        const auto limit = static_cast<rlim_t>(setup.fileSizeLimit);
        const rlimit size{limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &size) != 0) {
            return false;
        }
    }
    if (setup.uid == 0) {
        return true;
    }
    return ::setgroups(0, nullptr) == 0 && ::setgid(setup.uid) == 0 && ::setuid(setup.uid) == 0;
}

[[noreturn]] void RunChild(const ChildSetup& setup, const std::function<ChildReport()>& body,
                           int out) {
    if (!EnterSetup(setup)) {
        ::_exit(120);
    }
    const ChildReport report = body();
    const bool sent = ::write(out, &report, sizeof report) == static_cast<ssize_t>(sizeof report);
    ::_exit(sent ? 0 : 121);
}

std::string Describe(int status) {
    if (WIFSIGNALED(status)) {
        return std::string("killed by signal ") + ::strsignal(WTERMSIG(status));
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 120) {
        return "could not take the user id or the limit";
    }
    return "exit status " + std::to_string(WEXITSTATUS(status));
}

} // namespace

std::optional<ChildReport>
RunInChild(const ChildSetup& setup, const std::function<ChildReport()>& body, std::string* ending) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        *ending = std::string("pipe: ") + std::strerror(errno);
        return std::nullopt;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        RunChild(setup, body, fds[1]);
    }
    ::close(fds[1]);
    ChildReport report;
    ssize_t got = 0;
    do {
        got = ::read(fds[0], &report, sizeof report);
    } while (got < 0 && errno == EINTR);
    ::close(fds[0]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) {
        *ending = "fork or wait failed";
        return std::nullopt;
    }
    if (got != static_cast<ssize_t>(sizeof report) || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        *ending = Describe(status);
        return std::nullopt;
    }
    return report;
}
