#include "kernel/ShareModes.h"
#include "kernel/Win32Error.h"
#include "kernel/WindowsPath.h"
#include "platform/kernel32.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

// Deletes the name itself: a symlink goes, its target stays.
BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
    const auto path = platform::kernel::ToPosixPath(lpFileName);
    if (!path) {
        return FALSE;
    }
    struct stat st {};
    if (::lstat(path->c_str(), &st) != 0) {
        SetLastError(platform::kernel::PathError(errno, *path));
        return FALSE;
    }
    if (S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!platform::kernel::DeletionShared({st.st_dev, st.st_ino})) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    if (::unlink(path->c_str()) != 0) {
        platform::kernel::SetLastErrorFromErrno(errno);
        return FALSE;
    }
    return TRUE;
}
