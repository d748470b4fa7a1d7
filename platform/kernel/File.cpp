#include "kernel/File.h"

#include "kernel/Win32Error.h"
#include "platform/kernel32.h"

#include <unistd.h>

#include <cerrno>

namespace platform::kernel {

File::File(UniqueFd fd, DWORD access, ShareReservation reservation)
    : fd_(std::move(fd)), access_(AccessBits(access)), reservation_(std::move(reservation)) {}

BOOL File::Read(void* buffer, DWORD size, DWORD* done) {
    *done = 0;
    if (!(access_ & FILE_SHARE_READ)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    auto* p = static_cast<char*>(buffer);
    while (*done < size) {
        const ssize_t n = ::read(fd_.Get(), p + *done, size - *done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            SetLastError(errno == EIO ? ERROR_READ_FAULT : Win32ErrorFromErrno(errno));
            return FALSE;
        }
        if (n == 0) {
            break;
        }
        *done += static_cast<DWORD>(n);
    }
    return TRUE;
}

BOOL File::Write(const void* buffer, DWORD size, DWORD* done) {
    *done = 0;
    if (!(access_ & FILE_SHARE_WRITE)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const auto* p = static_cast<const char*>(buffer);
    while (*done < size) {
        const ssize_t n = ::write(fd_.Get(), p + *done, size - *done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            SetLastError(n == 0 || errno == EIO ? ERROR_WRITE_FAULT : Win32ErrorFromErrno(errno));
            return FALSE;
        }
        *done += static_cast<DWORD>(n);
    }
    return TRUE;
}

} // namespace platform::kernel
