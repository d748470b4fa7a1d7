#include "kernel/PrivateTempFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform::kernel {

namespace {

std::string BaseFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return (runtime && runtime[0] == '/') ? std::string(runtime) : std::string("/tmp");
}

// Another user may have created the name first in a shared folder; then it is not ours.
bool IsPrivateFolder(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
        return false;
    }
    return (st.st_mode & 077) == 0 || ::chmod(path.c_str(), 0700) == 0;
}

} // namespace

std::optional<std::string> PrivateTempFolder() {
    const std::string path = BaseFolder() + "/nerith-temp-" + std::to_string(::geteuid());
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return std::nullopt;
    }
    if (!IsPrivateFolder(path)) {
        return std::nullopt;
    }
    return path;
}

} // namespace platform::kernel
