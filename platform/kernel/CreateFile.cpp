#include "kernel/File.h"
#include "kernel/Win32Error.h"
#include "kernel/WindowsPath.h"
#include "platform/internal/kernel_object.h"
#include "platform/kernel32.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <new>

namespace {

using platform::kernel::UniqueFd;

struct Opened {
    UniqueFd fd;
    bool existed = false;
    int error = 0;
};

Opened Result(int fd, bool existed) {
    return {UniqueFd(fd), existed, fd < 0 ? errno : 0};
}

int OpenMode(DWORD access, bool truncates) {
    const DWORD bits = platform::kernel::AccessBits(access);
    // Overwriting needs write access to the file whatever the handle is for.
    if (truncates || bits == (FILE_SHARE_READ | FILE_SHARE_WRITE)) {
        return O_RDWR;
    }
    return bits == FILE_SHARE_WRITE ? O_WRONLY : O_RDONLY;
}

bool Truncates(DWORD disposition) {
    return disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
}

// O_NONBLOCK keeps a planted FIFO from hanging the open; the file type is checked afterwards.
// O_NOFOLLOW on the creating dispositions refuses a symlink planted where a new file goes.
Opened OpenPath(const std::string& path, DWORD access, DWORD disposition) {
    const int base = OpenMode(access, Truncates(disposition)) | O_CLOEXEC | O_NONBLOCK;
    const int create = O_CREAT | O_EXCL | O_NOFOLLOW;
    switch (disposition) {
    case CREATE_NEW:
        return Result(::open(path.c_str(), base | create, 0666), false);
    case CREATE_ALWAYS:
    case OPEN_ALWAYS: {
        for (int attempt = 0; attempt < 8; ++attempt) {
            Opened created = Result(::open(path.c_str(), base | create, 0666), false);
            if (created.error != EEXIST) {
                return created;
            }
            const int follow = disposition == CREATE_ALWAYS ? O_NOFOLLOW : 0;
            Opened existing = Result(::open(path.c_str(), base | follow), true);
            // Gone again between the two opens: try the create once more.
            if (existing.error != ENOENT) {
                return existing;
            }
        }
        return {UniqueFd(), false, EAGAIN};
    }
    default:
        return Result(::open(path.c_str(), base), true);
    }
}

bool CheckRegularFile(int fd, platform::kernel::FileIdentity& identity) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        platform::kernel::SetLastErrorFromErrno(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    identity = {st.st_dev, st.st_ino};
    return true;
}

bool FinishOpen(int fd, bool truncate) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ||
        (truncate && ::ftruncate(fd, 0) != 0)) {
        platform::kernel::SetLastErrorFromErrno(errno);
        return false;
    }
    return true;
}

bool ValidArguments(DWORD access, DWORD disposition) {
    if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING) {
        return false;
    }
    return disposition != TRUNCATE_EXISTING ||
           (platform::kernel::AccessBits(access) & FILE_SHARE_WRITE);
}

HANDLE OpenDeviceHandle(std::string name) {
    // Device names are not case-sensitive on Windows; the driver sockets use lower case.
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    auto device = platform::devices::OpenDevice(name.c_str());
    if (!device) {
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = platform::kernel::AddHandle(std::move(device));
    if (!handle) {
        return INVALID_HANDLE_VALUE;
    }
    SetLastError(ERROR_SUCCESS);
    return handle;
}

HANDLE OpenFileHandle(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
    Opened opened = OpenPath(path, access, disposition);
    if (!opened.fd.Valid()) {
        SetLastError(platform::kernel::PathError(opened.error, path));
        return INVALID_HANDLE_VALUE;
    }
    platform::kernel::FileIdentity identity;
    if (!CheckRegularFile(opened.fd.Get(), identity)) {
        return INVALID_HANDLE_VALUE;
    }
    platform::kernel::ShareReservation reservation;
    if (!reservation.Acquire(identity, access, share)) {
        return INVALID_HANDLE_VALUE;
    }
    if (!FinishOpen(opened.fd.Get(), opened.existed && Truncates(disposition))) {
        return INVALID_HANDLE_VALUE;
    }
    std::shared_ptr<platform::kernel::File> file;
    try {
        file = std::make_shared<platform::kernel::File>(std::move(opened.fd), access,
                                                        std::move(reservation));
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = platform::kernel::AddHandle(std::move(file));
    if (!handle) {
        return INVALID_HANDLE_VALUE;
    }
    const bool reportExisting =
        opened.existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS);
    SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

} // namespace

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES, DWORD dwCreationDisposition, DWORD,
                          HANDLE hTemplateFile) {
    if (hTemplateFile) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return INVALID_HANDLE_VALUE;
    }
    const std::string device = platform::kernel::DeviceName(lpFileName);
    if (!device.empty()) {
        return OpenDeviceHandle(device);
    }
    if (!ValidArguments(dwDesiredAccess, dwCreationDisposition)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const auto path = platform::kernel::ToPosixPath(lpFileName);
    if (!path) {
        return INVALID_HANDLE_VALUE;
    }
    return OpenFileHandle(*path, dwDesiredAccess, dwShareMode, dwCreationDisposition);
}
