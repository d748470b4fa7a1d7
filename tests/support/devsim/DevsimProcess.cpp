#include "DevsimProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#ifndef NERITH_DEVSIM_PATH
#error "NERITH_DEVSIM_PATH must name the nerith-devsim binary"
#endif

extern char** environ;

namespace nerith::test {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStartTimeout = std::chrono::seconds(10);
constexpr auto kStopTimeout = std::chrono::seconds(5);

std::string MakeTempFolder(const char* prefix) {
    std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
    return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

bool WaitForExit(int pid, std::chrono::milliseconds timeout, int& status) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        const int result = ::waitpid(pid, &status, WNOHANG);
        if (result == pid || (result < 0 && errno == ECHILD)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

} // namespace

TempFolder::TempFolder() : path_(MakeTempFolder("nerith-test")) {}

TempFolder::~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) {
        std::filesystem::remove_all(path_, ec);
    }
}

DevsimProcess::DevsimProcess(const std::vector<std::string>& arguments, FolderMadeBy madeBy)
    : root_(MakeTempFolder("nerith-devsim")) {
    if (root_.empty()) {
        error_ = "cannot create a device folder";
        return;
    }
    folder_ = madeBy == FolderMadeBy::Simulator ? root_ + "/devices" : root_;
    if (Launch(arguments) && !WaitUntilServing()) {
        Stop();
    }
}

DevsimProcess::~DevsimProcess() {
    Stop();
    std::error_code ec;
    if (!root_.empty()) {
        std::filesystem::remove_all(root_, ec);
    }
}

bool DevsimProcess::Launch(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv = {NERITH_DEVSIM_PATH, "--dir=" + folder_};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    pointers.reserve(argv.size() + 1);
    for (std::string& a : argv) {
        pointers.push_back(a.data());
    }
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int result =
        ::posix_spawn(&pid, NERITH_DEVSIM_PATH, &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        error_ = std::string("cannot start nerith-devsim: ") + std::strerror(result);
        return false;
    }
    pid_ = pid;
    return true;
}

bool DevsimProcess::WaitUntilServing() {
    const auto deadline = Clock::now() + kStartTimeout;
    while (Clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error_ = "nerith-devsim exited at start (status " + std::to_string(status) + ")";
            return false;
        }
        control_ = devsim::ConnectControl(folder_);
        if (control_.Valid()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    error_ = "nerith-devsim did not start serving";
    return false;
}

// /proc/PID/stat reads "pid (name) S ...": the state follows the last parenthesis.
bool DevsimProcess::Stopped() const {
    std::ifstream in("/proc/" + std::to_string(pid_) + "/stat");
    const std::string line((std::istreambuf_iterator<char>(in)), {});
    const auto close = line.rfind(')');
    return pid_ > 0 && close != std::string::npos && close + 2 < line.size() &&
           line[close + 2] == 'T';
}

void DevsimProcess::UseAsDeviceFolder() const {
    ::setenv("NERITH_DEVICE_DIR", folder_.c_str(), 1);
}

std::string DevsimProcess::Control(const std::string& command) {
    if (!control_.Valid()) {
        return "error: nerith-devsim is not running";
    }
    return devsim::SendControl(control_.Get(), command);
}

std::map<std::string, unsigned> DevsimProcess::Stats() {
    std::map<std::string, unsigned> counts;
    for (const auto& [kind, count] : devsim::ReplyFields(Control("stats"))) {
        counts[kind] = static_cast<unsigned>(std::stoul(count));
    }
    return counts;
}

std::vector<std::uint8_t> DevsimProcess::DumpFlash() {
    const std::string path = folder_ + "/flash.bin";
    if (Control("dump-bin " + path) != "ok") {
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    std::filesystem::remove(path);
    return bytes;
}

int DevsimProcess::Stop() {
    if (pid_ <= 0) {
        return -1;
    }
    ::kill(pid_, SIGCONT);
    Control("stop");
    control_.Reset();
    int status = 0;
    if (!WaitForExit(pid_, kStopTimeout, status)) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return -1;
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace nerith::test
