#include "kernel/PrivateTempFolder.h"

#include "platform/internal/UniqueFd.h"

#include <fcntl.h>
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

// Another user may have made the name first in a shared folder; then it is not ours. The checks
// and the repair go through one descriptor, so a symlink swapped in meanwhile is not followed.
bool IsPrivateFolder(const std::string& path) {
    const UniqueFd folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    if (!folder.Valid() || ::fstat(folder.Get(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != ::geteuid()) {
        return false;
    }
    return (st.st_mode & 07777) == 0700 || ::fchmod(folder.Get(), 0700) == 0;
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
