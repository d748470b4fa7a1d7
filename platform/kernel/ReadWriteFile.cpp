#include "kernel/File.h"
#include "platform/kernel32.h"

namespace {

// Overlapped I/O is not offered; without it Windows requires the count pointer.
std::shared_ptr<platform::kernel::File> FileForTransfer(HANDLE hFile, LPDWORD count,
                                                        LPOVERLAPPED overlapped) {
    if (overlapped || !count) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    *count = 0;
    auto file = platform::kernel::GetObject<platform::kernel::File>(hFile);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return file;
}

} // namespace

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
    auto file = FileForTransfer(hFile, lpNumberOfBytesWritten, lpOverlapped);
    if (!file) {
        return FALSE;
    }
    if (!lpBuffer && nNumberOfBytesToWrite > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return file->Write(lpBuffer, nNumberOfBytesToWrite, lpNumberOfBytesWritten);
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                     LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped) {
    auto file = FileForTransfer(hFile, lpNumberOfBytesRead, lpOverlapped);
    if (!file) {
        return FALSE;
    }
    if (!lpBuffer && nNumberOfBytesToRead > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return file->Read(lpBuffer, nNumberOfBytesToRead, lpNumberOfBytesRead);
}
