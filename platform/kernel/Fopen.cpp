#include "kernel/OpenDiskFile.h"
#include "kernel/WindowsPath.h"
#include "platform/crt.h"
#include "platform/kernel32.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

struct StreamMode {
    int flags = 0;
    DWORD disposition = 0;
    const char* fdopenMode = nullptr;
};

// "r", "w" and "a" with an optional '+' (and 'b', 't', 'x' anywhere after the first letter).
bool ParseMode(const char* mode, StreamMode& parsed) {
    if (!mode) {
        return false;
    }
    const bool update = std::strchr(mode, '+') != nullptr;
    const bool exclusive = std::strchr(mode, 'x') != nullptr;
    switch (mode[0]) {
    case 'r':
        parsed = {update ? O_RDWR : O_RDONLY, OPEN_EXISTING, update ? "r+" : "r"};
        return true;
    case 'w':
        parsed = {update ? O_RDWR : O_WRONLY,
                  static_cast<DWORD>(exclusive ? CREATE_NEW : CREATE_ALWAYS), update ? "w+" : "w"};
        return true;
    case 'a':
        parsed = {(update ? O_RDWR : O_WRONLY) | O_APPEND, OPEN_ALWAYS, update ? "a+" : "a"};
        return true;
    default:
        return false;
    }
}

// The stream gets a descriptor of its own; the one `OpenDiskFile` returned closes as usual.
std::FILE* StreamOn(int fd, const char* mode) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return nullptr;
    }
    const int stream = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (stream < 0) {
        return nullptr;
    }
    std::FILE* file = ::fdopen(stream, mode);
    if (!file) {
        const int error = errno;
        ::close(stream);
        errno = error;
    }
    return file;
}

} // namespace

// Streams follow the same file rules as CreateFileA, so a name that the updater wrote cannot
// be swapped for someone else's file before it reads it back.
extern "C" std::FILE* platform_fopen(const char* path, const char* mode) {
    StreamMode parsed;
    if (!ParseMode(mode, parsed)) {
        errno = EINVAL;
        return nullptr;
    }
    const auto posix = platform::kernel::ToPosixPath(path);
    if (!posix) {
        errno = ENOENT;
        return nullptr;
    }
    platform::kernel::OpenedDiskFile opened =
        platform::kernel::OpenDiskFile(*posix, parsed.flags, parsed.disposition, nullptr);
    if (!opened.fd.Valid()) {
        errno = opened.error;
        return nullptr;
    }
    return StreamOn(opened.fd.Get(), parsed.fdopenMode);
}
