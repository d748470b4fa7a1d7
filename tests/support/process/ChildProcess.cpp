#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace nerith::testing {

namespace {

// A file that exists only through its descriptors, so nothing is left behind even when the
// test process dies: `write` goes to the child, `read` stays with us.
bool MakeCaptureFile(const char* tag, int& write, UniqueFd& read) {
    const char* tmp = std::getenv("TMPDIR");
    std::string path =
        std::string(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") + "/nerith-" + tag + "-XXXXXX";
    write = mkostemp(path.data(), O_CLOEXEC);
    if (write < 0) {
        return false;
    }
    read.Reset(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    unlink(path.c_str());
    return read.Get() >= 0;
}

std::vector<std::string> BuildEnvironment(const ProcessOptions& options) {
    std::vector<std::string> env;
    auto overridden = [&](const std::string& entry) {
        const std::string name = entry.substr(0, entry.find('='));
        for (const auto& [key, value] : options.setEnv) {
            if (key == name) {
                return true;
            }
        }
        for (const auto& key : options.unsetEnv) {
            if (key == name) {
                return true;
            }
        }
        return false;
    };
    for (char** e = environ; *e != nullptr; ++e) {
        if (!overridden(*e)) {
            env.emplace_back(*e);
        }
    }
    env.reserve(env.size() + options.setEnv.size());
    for (const auto& [key, value] : options.setEnv) {
        env.push_back(std::string(key).append("=").append(value));
    }
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (auto& s : strings) {
        pointers.push_back(s.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// Runs in the forked child: only async-signal-safe calls until exec.
[[noreturn]] void ExecChild(const ProcessOptions& options, char** argv, char** envp, int out,
                            int err, int parent) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) {
        _exit(127);
    }
    const int devnull = open("/dev/null", O_RDONLY | O_CLOEXEC);
    dup2(devnull, 0);
    dup2(out, 1);
    dup2(err, 2);
    for (int fd : options.inheritFds) {
        const int flags = fcntl(fd, F_GETFD);
        fcntl(fd, F_SETFD, flags & ~FD_CLOEXEC);
    }
    if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) {
        _exit(127);
    }
    execvpe(argv[0], argv, envp);
    _exit(127);
}

std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    off_t offset = 0;
    for (;;) {
        const ssize_t got = pread(fd, buffer, sizeof buffer, offset);
        if (got <= 0) {
            return text;
        }
        text.append(buffer, static_cast<std::size_t>(got));
        offset += got;
    }
}

int DecodeStatus(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return -1;
}

} // namespace

std::unique_ptr<ChildProcess> ChildProcess::Start(const ProcessOptions& options,
                                                  std::string* error) {
    auto fail = [&](const std::string& why) -> std::unique_ptr<ChildProcess> {
        if (error != nullptr) {
            *error = why;
        }
        return nullptr;
    };
    if (options.argv.empty()) {
        return fail("no program given");
    }
    int out = -1;
    int err = -1;
    UniqueFd outRead, errRead;
    const bool captured =
        MakeCaptureFile("stdout", out, outRead) && MakeCaptureFile("stderr", err, errRead);
    if (!captured) {
        const std::string why = std::string("cannot create capture files: ") + std::strerror(errno);
        for (int fd : {out, err}) {
            if (fd >= 0) {
                close(fd);
            }
        }
        return fail(why);
    }
    std::vector<std::string> args = options.argv;
    std::vector<std::string> env = BuildEnvironment(options);
    std::vector<char*> argv = Pointers(args);
    std::vector<char*> envp = Pointers(env);
    const int parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        ExecChild(options, argv.data(), envp.data(), out, err, parent);
    }
    close(out);
    close(err);
    if (pid < 0) {
        return fail(std::string("fork failed: ") + std::strerror(errno));
    }
    return std::unique_ptr<ChildProcess>(
        new ChildProcess(pid, std::move(outRead), std::move(errRead)));
}

ChildProcess::~ChildProcess() {
    Terminate();
}

bool ChildProcess::Reap(bool block) {
    if (status_) {
        return true;
    }
    int status = 0;
    pid_t done;
    do {
        done = waitpid(pid_, &status, block ? 0 : WNOHANG);
    } while (done < 0 && errno == EINTR);
    if (done == pid_) {
        status_ = DecodeStatus(status);
        return true;
    }
    if (done < 0) {
        status_ = -1; // not our child any more: nothing left to wait for
    }
    return done < 0;
}

bool ChildProcess::Running() {
    return !Reap(false);
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!Reap(false)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return status_;
}

int ChildProcess::Terminate(std::chrono::milliseconds grace) {
    if (Reap(false)) {
        return *status_;
    }
    kill(pid_, SIGTERM);
    if (auto status = Wait(grace)) {
        return *status;
    }
    kill(pid_, SIGKILL);
    Reap(true);
    return *status_;
}

std::string ChildProcess::Stdout() const {
    return ReadAll(stdout_.Get());
}
std::string ChildProcess::Stderr() const {
    return ReadAll(stderr_.Get());
}

} // namespace nerith::testing
