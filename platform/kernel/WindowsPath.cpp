#include "kernel/WindowsPath.h"

#include "kernel/Win32Error.h"
#include "platform/kernel32.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

namespace platform::kernel {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool HasDriveLetter(const char* path) {
    return std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

} // namespace

std::optional<std::string> ToPosixPath(LPCSTR path) {
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    const std::size_t length = std::strlen(path);
    if (length == 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return std::nullopt;
    }
    if (length >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return std::nullopt;
    }
    // There are no drives here; a drive-qualified name is a path that does not exist, not a
    // file called "C:" in the working folder.
    if (HasDriveLetter(path)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return std::nullopt;
    }
    std::string posix(path, length);
    std::replace(posix.begin(), posix.end(), '\\', '/');
    return posix;
}

std::string DeviceName(LPCSTR path) {
    if (!path || !IsSeparator(path[0]) || !IsSeparator(path[1]) || path[2] != '.' ||
        !IsSeparator(path[3])) {
        return {};
    }
    return path + 4;
}

std::string ParentFolder(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

DWORD PathError(int error, const std::string& path) {
    struct stat st {};
    if (error == ENOENT && !(::stat(ParentFolder(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode))) {
        return ERROR_PATH_NOT_FOUND;
    }
    return Win32ErrorFromErrno(error);
}

} // namespace platform::kernel
