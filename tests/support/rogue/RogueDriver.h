// Runs nerith-rogue-driver for a test, as this user or as another one, and reads back what
// reached it. The process is killed and reaped with the object, and dies with the test.
#pragma once

#include "ChildProcess.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nerith::test {

// The user a planted driver runs as: nobody.
constexpr unsigned kOtherUid = 65534;
constexpr unsigned kOtherGid = 65534;

// Empty when this process can start a program as another user (it is root and has setpriv);
// otherwise the reason, for a test to skip with.
std::string WhyNoOtherUser();

class RogueDriver {
public:
    enum class As { ThisUser, OtherUser };

    // Serves FOLDER/korvel with the rogue's options ("--silent", "--stall-at-program=N").
    RogueDriver(const std::string& folder, const std::vector<std::string>& arguments,
                As as = As::ThisUser);

    bool Listening() const { return listening_; }
    const std::string& Error() const { return error_; }
    int Pid() const { return process_ ? process_->pid() : -1; }

    // The lines it has reported so far: "connected", "request 0x222400", "descriptor", ...
    std::vector<std::string> Lines() const;
    // All of them as one text, for a failure message.
    std::string Report() const { return process_ ? process_->Stdout() : std::string(); }
    // How many reported lines start with `prefix`.
    int Count(const std::string& prefix) const;
    // When it fell silent at the chosen program request; nullopt before that.
    std::optional<std::chrono::steady_clock::time_point> StalledAt() const;

private:
    bool WaitUntilListening();

    std::unique_ptr<testing::ChildProcess> process_;
    std::string error_;
    bool listening_ = false;
};

} // namespace nerith::test
