#include "OtherUser.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace nerith::e2e {

namespace {

constexpr char kSetpriv[] = "/usr/bin/setpriv";

std::string ShellQuoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

} // namespace

std::string OtherUser::WhyUnavailable() {
    if (::geteuid() != 0) {
        return "only root can run the victim and the attacker as users of their own";
    }
    if (::access(kSetpriv, X_OK) != 0) {
        return std::string(kSetpriv) + " is missing (package util-linux)";
    }
    return {};
}

std::vector<std::string> OtherUser::Command(const std::vector<std::string>& command) const {
    const std::string id = std::to_string(uid_);
    std::vector<std::string> argv = {kSetpriv,         "--reuid=" + id,    "--regid=" + id,
                                     "--clear-groups", "--pdeathsig=TERM", "--"};
    argv.insert(argv.end(), command.begin(), command.end());
    return argv;
}

bool OtherUser::Give(const std::string& path, int mode) const {
    return ::lchown(path.c_str(), uid_, uid_) == 0 &&
           ::chmod(path.c_str(), static_cast<mode_t>(mode)) == 0;
}

bool WriteLauncher(const std::string& path, const std::vector<std::string>& command) {
    {
        std::ofstream script(path, std::ios::trunc);
        script << "#!/bin/sh\nexec";
        for (const std::string& word : command) {
            script << ' ' << ShellQuoted(word);
        }
        script << '\n';
        if (!script.flush()) {
            return false;
        }
    }
    return ::chmod(path.c_str(), 0755) == 0;
}

} // namespace nerith::e2e
