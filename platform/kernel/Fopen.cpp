#include "WindowsPath.h"
#include "platform/crt.h"

#include <cerrno>

// The system fopen itself, under the name the runtime shim hides.
#undef fopen

extern "C" std::FILE* platform_fopen(const char* path, const char* mode) {
    const auto posix = platform::kernel::ToPosixPath(path);
    if (!posix) {
        errno = ENOENT;
        return nullptr;
    }
    return std::fopen(posix->c_str(), mode);
}
