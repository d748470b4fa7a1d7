#include "platform/kernel32.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

// Written straight to descriptor 2 so the bytes reach the reader unbuffered and in order, with
// nothing added: the debugger output shows exactly what the program passed.
void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
    if (!lpOutputString) {
        return;
    }
    const DWORD saved = GetLastError();
    std::fflush(stderr);
    const char* p = lpOutputString;
    std::size_t left = std::strlen(p);
    while (left > 0) {
        const ssize_t n = ::write(STDERR_FILENO, p, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    SetLastError(saved);
}
