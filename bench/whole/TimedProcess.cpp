#include "TimedProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstring>

extern char** environ;

namespace nerith::bench {

namespace {

std::string Describe(int status) {
    if (WIFEXITED(status)) {
        return "exit " + std::to_string(WEXITSTATUS(status));
    }
    return WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status)) : "status ?";
}

class SpawnActions {
public:
    SpawnActions() {
        posix_spawn_file_actions_init(&actions_);
        posix_spawn_file_actions_addopen(&actions_, 1, "/dev/null", O_WRONLY, 0);
    }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    const posix_spawn_file_actions_t* get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

} // namespace

std::optional<double> RunTimed(const std::vector<std::string>& argv, std::string* error) {
    if (argv.empty()) {
        *error = "nothing to run";
        return std::nullopt;
    }
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    const SpawnActions actions;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], actions.get(), nullptr, args.data(), environ);
    if (spawned != 0) {
        *error = argv[0] + ": " + std::strerror(spawned);
        return std::nullopt;
    }
    int status = 0;
    pid_t done = 0;
    do {
        done = waitpid(pid, &status, 0);
    } while (done < 0 && errno == EINTR);
    const auto end = std::chrono::steady_clock::now();
    if (done != pid) {
        *error = argv[0] + ": cannot wait for it: " + std::strerror(errno);
        return std::nullopt;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        *error = argv[0] + " ended with " + Describe(status);
        return std::nullopt;
    }
    return std::chrono::duration<double>(end - start).count();
}

} // namespace nerith::bench
