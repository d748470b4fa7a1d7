#include "kernel/File.h"
#include "kernel/OpenDiskFile.h"
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

using platform::kernel::FileIdentity;
using platform::kernel::OpenedDiskFile;

int OpenMode(DWORD access) {
    const DWORD bits = platform::kernel::AccessBits(access);
    if (bits == (FILE_SHARE_READ | FILE_SHARE_WRITE)) {
        return O_RDWR;
    }
    return bits == FILE_SHARE_WRITE ? O_WRONLY : O_RDONLY;
}

bool FileIdentityOf(int fd, FileIdentity& identity) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        platform::kernel::SetLastErrorFromErrno(errno);
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

// CREATE_ALWAYS replaces the file only when the handles already open on it would let this one
// write to it, as Windows truncates only then.
HANDLE OpenFileHandle(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
    const auto mayReplace = [access, share](const FileIdentity& existing) {
        platform::kernel::ShareReservation probe;
        return probe.Acquire(existing, access, share);
    };
    OpenedDiskFile opened =
        platform::kernel::OpenDiskFile(path, OpenMode(access), disposition, mayReplace);
    if (!opened.fd.Valid()) {
        SetLastError(platform::kernel::PathError(opened.error, path));
        return INVALID_HANDLE_VALUE;
    }
    FileIdentity identity;
    if (!FileIdentityOf(opened.fd.Get(), identity)) {
        return INVALID_HANDLE_VALUE;
    }
    platform::kernel::ShareReservation reservation;
    if (!reservation.Acquire(identity, access, share)) {
        return INVALID_HANDLE_VALUE;
    }
    if (!FinishOpen(opened.fd.Get(), disposition == TRUNCATE_EXISTING)) {
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
