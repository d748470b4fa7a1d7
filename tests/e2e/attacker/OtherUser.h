// A user id without an account, for the processes of a test that play the victim or the
// attacker. Processes take it through setpriv (user and group id alike, no supplementary
// groups); only root can do that.
#pragma once

#include <string>
#include <vector>

namespace nerith::e2e {

class OtherUser {
public:
    explicit OtherUser(unsigned uid) : uid_(uid) {}

    // Empty when the test process cannot start processes as another user; otherwise why not.
    static std::string WhyUnavailable();

    unsigned Uid() const { return uid_; }
    // argv that runs `command` as this user. It dies with the test process, as ChildProcess
    // children do: changing the user id would otherwise forget that.
    std::vector<std::string> Command(const std::vector<std::string>& command) const;
    // Hands the file or folder `path` to this user, with `mode`.
    bool Give(const std::string& path, int mode) const;

private:
    unsigned uid_;
};

// Writes an executable script at `path` that runs `command` in its own process (exec), for
// callers that start a program by its path alone.
bool WriteLauncher(const std::string& path, const std::vector<std::string>& command);

} // namespace nerith::e2e
