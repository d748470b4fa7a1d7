#include "platform/kernel32.h"

#include <ctime>

// Milliseconds on the monotonic clock, wrapping at 2^32 as on Windows. Not scaled: it measures
// real time, and only waits are sped up for tests.
DWORD WINAPI GetTickCount() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const unsigned long long ms =
        static_cast<unsigned long long>(now.tv_sec) * 1000ull + now.tv_nsec / 1000000;
    return static_cast<DWORD>(ms);
}
