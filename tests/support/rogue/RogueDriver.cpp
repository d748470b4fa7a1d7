#include "RogueDriver.h"

#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <thread>

#ifndef NERITH_ROGUE_PATH
#error "NERITH_ROGUE_PATH must name the nerith-rogue-driver binary"
#endif

namespace nerith::test {

namespace {

constexpr auto kStartTimeout = std::chrono::seconds(10);

std::vector<std::string> Command(const std::string& folder,
                                 const std::vector<std::string>& arguments, RogueDriver::As as) {
    std::vector<std::string> argv;
    if (as == RogueDriver::As::OtherUser) {
        // The parent-death signal must outlive the change of user, or a crashed test leaves
        // the rogue behind.
        argv = {"setpriv", "--reuid=" + std::to_string(kOtherUid),
                "--regid=" + std::to_string(kOtherGid), "--clear-groups", "--pdeathsig=TERM"};
    }
    argv.push_back(NERITH_ROGUE_PATH);
    argv.push_back("--dir=" + folder);
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

} // namespace

std::string WhyNoOtherUser() {
    if (::geteuid() != 0) {
        return "acting as another user needs root";
    }
    for (const char* dir : {"/usr/bin", "/bin", "/usr/sbin", "/sbin"}) {
        if (std::filesystem::exists(std::string(dir) + "/setpriv")) {
            return "";
        }
    }
    return "setpriv (util-linux) is not installed";
}

RogueDriver::RogueDriver(const std::string& folder, const std::vector<std::string>& arguments,
                         As as) {
    testing::ProcessOptions options;
    options.argv = Command(folder, arguments, as);
    process_ = testing::ChildProcess::Start(options, &error_);
    listening_ = process_ && WaitUntilListening();
}

bool RogueDriver::WaitUntilListening() {
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (Count("listening") > 0) {
            return true;
        }
        if (!process_->Running()) {
            error_ = "nerith-rogue-driver ended at start: " + process_->Stderr();
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    error_ = "nerith-rogue-driver did not start listening";
    return false;
}

std::vector<std::string> RogueDriver::Lines() const {
    std::vector<std::string> lines;
    std::istringstream text(Report());
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    return lines;
}

int RogueDriver::Count(const std::string& prefix) const {
    int count = 0;
    for (const std::string& line : Lines()) {
        count += line.starts_with(prefix) ? 1 : 0;
    }
    return count;
}

std::optional<std::chrono::steady_clock::time_point> RogueDriver::StalledAt() const {
    for (const std::string& line : Lines()) {
        if (line.starts_with("stalled ")) {
            const std::chrono::nanoseconds since(std::stoll(line.substr(8)));
            return std::chrono::steady_clock::time_point(
                std::chrono::duration_cast<std::chrono::steady_clock::duration>(since));
        }
    }
    return std::nullopt;
}

} // namespace nerith::test
