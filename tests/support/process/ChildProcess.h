// Starts a program with a chosen environment and captures what it writes. The child is ended
// (SIGTERM, then SIGKILL) and reaped when the object goes, and also dies with the test process.
#pragma once

#include "platform/internal/UniqueFd.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nerith::testing {

using platform::kernel::UniqueFd;

struct ProcessOptions {
    std::vector<std::string> argv;                           // argv[0] is looked up in PATH
    std::vector<std::pair<std::string, std::string>> setEnv; // added to or replacing ours
    std::vector<std::string> unsetEnv;
    std::string workingDirectory; // empty: ours
    std::vector<int> inheritFds;  // kept open in the child under the same numbers
};

class ChildProcess {
public:
    // nullptr and `error` set when the program cannot be started.
    static std::unique_ptr<ChildProcess> Start(const ProcessOptions& options,
                                               std::string* error = nullptr);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    int pid() const { return pid_; }
    bool Running();
    // The exit status (128 + signal number for a killed child); nullopt on time-out.
    std::optional<int> Wait(std::chrono::milliseconds timeout);
    // SIGTERM, and SIGKILL if it has not ended after `grace`. Returns the exit status.
    int Terminate(std::chrono::milliseconds grace = std::chrono::milliseconds(2000));

    // Everything written so far.
    std::string Stdout() const;
    std::string Stderr() const;

private:
    ChildProcess(int pid, UniqueFd stdoutFile, UniqueFd stderrFile)
        : pid_(pid), stdout_(std::move(stdoutFile)), stderr_(std::move(stderrFile)) {}
    bool Reap(bool block);

    int pid_;
    std::optional<int> status_;
    UniqueFd stdout_; // unlinked capture files, read from the start
    UniqueFd stderr_;
};

} // namespace nerith::testing
