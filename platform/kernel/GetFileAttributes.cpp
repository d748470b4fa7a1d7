#include "kernel/Win32Error.h"
#include "kernel/WindowsPath.h"
#include "platform/kernel32.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
    const auto path = platform::kernel::ToPosixPath(lpFileName);
    if (!path) {
        return INVALID_FILE_ATTRIBUTES;
    }
    struct stat st {};
    if (::stat(path->c_str(), &st) != 0) {
        SetLastError(platform::kernel::PathError(errno, *path));
        return INVALID_FILE_ATTRIBUTES;
    }
    if (S_ISDIR(st.st_mode)) {
        return FILE_ATTRIBUTE_DIRECTORY;
    }
    // Windows marks every written file for backup; nothing here clears the mark.
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
    if (::access(path->c_str(), W_OK) != 0) {
        attributes |= FILE_ATTRIBUTE_READONLY;
    }
    return attributes;
}
